// Scratch files on Windows: a file of the user's temporary folder, opened for reading back with
// delete-on-close, and removed when the object goes.
#include <windows.h>

#include <memory>
#include <string>

#include "core/files/scratch_file.h"
#include "core/platform/windows/windows_temporary_file.h"
#include "core/platform/windows/windows_text.h"

namespace haojian {
namespace {

// The narrow (ANSI code page) form of path, as the C runtime's fopen takes it; the short form of
// the path when some character of it has no ANSI form. Empty when there is neither.
std::string AnsiPath(const std::wstring& path) {
    const auto convert = [](const std::wstring& wide) -> std::string {
        BOOL lossy = FALSE;
        const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr,
                                            0, nullptr, &lossy);
        if (n <= 0 || lossy) return {};
        std::string narrow(std::size_t(n), '\0');
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, narrow.data(), n,
                              nullptr, &lossy);
        narrow.resize(std::size_t(n) - 1);
        return lossy ? std::string() : narrow;
    };
    std::string narrow = convert(path);
    if (!narrow.empty()) return narrow;
    wchar_t short_path[MAX_PATH];
    const DWORD n = ::GetShortPathNameW(path.c_str(), short_path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? convert(short_path) : std::string();
}

class WindowsScratchFile final : public ScratchFile {
public:
    WindowsScratchFile(std::wstring wide, std::string narrow)
        : wide_(std::move(wide)), path_(std::move(narrow)) {}
    ~WindowsScratchFile() override { ::DeleteFileW(wide_.c_str()); }
    const std::string& path() const override { return path_; }

    void CopyTo(OutputFile& out) override {
        const HANDLE file = ::CreateFileW(
            wide_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            throw Win32FileError(FileError::Op::Open, path_, ::GetLastError());
        }
        const std::unique_ptr<void, decltype(&::CloseHandle)> closer(file, &::CloseHandle);
        const auto buffer = std::make_unique_for_overwrite<char[]>(kBlock);
        for (;;) {
            DWORD n = 0;
            if (!::ReadFile(file, buffer.get(), DWORD(kBlock), &n, nullptr)) {
                throw Win32FileError(FileError::Op::Read, path_, ::GetLastError());
            }
            if (n == 0) return;
            out.Write(std::string_view(buffer.get(), n));
        }
    }

private:
    static constexpr std::size_t kBlock = std::size_t(1) << 20;
    std::wstring wide_;
    std::string path_;
};

}  // namespace

std::unique_ptr<ScratchFile> CreateScratchFile() {
    const std::wstring folder = WideTemporaryFolder();
    if (folder.empty()) {
        throw Win32FileError(FileError::Op::Create, "%TEMP%", ::GetLastError());
    }
    wchar_t name[MAX_PATH];
    if (::GetTempFileNameW(folder.c_str(), L"hjx", 0, name) == 0) {
        throw Win32FileError(FileError::Op::Create, Utf8FromWide(folder), ::GetLastError());
    }
    std::string narrow = AnsiPath(name);
    if (narrow.empty()) {
        ::DeleteFileW(name);
        throw FileError(FileError::Op::Create, Utf8FromWide(name), ENOENT,
                        "The temporary folder has no name the C runtime can open");
    }
    return std::make_unique<WindowsScratchFile>(name, std::move(narrow));
}

}  // namespace haojian
