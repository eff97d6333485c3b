// The real file system and the executable's folder on Windows: wide functions only.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#include "core/files/file_system.h"
#include "core/platform/windows/windows_staged_file.h"
#include "core/platform/windows/windows_text.h"

namespace haojian {
namespace {

class WindowsInputFile final : public InputFile {
public:
    WindowsInputFile(HANDLE handle, std::string path, std::uint64_t size)
        : handle_(handle), path_(std::move(path)), size_(size) {}
    ~WindowsInputFile() override { ::CloseHandle(handle_); }
    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD n = 0;
        const DWORD want = DWORD(std::min<std::size_t>(size, 1u << 30));
        if (!::ReadFile(handle_, buffer, want, &n, nullptr)) {
            const DWORD error = ::GetLastError();
            // The writing end of a pipe closed: its end.
            if (error == ERROR_BROKEN_PIPE) return 0;
            throw Win32FileError(FileError::Op::Read, path_, error);
        }
        return n;
    }
    std::uint64_t Size() const override { return size_; }
    bool Seek(std::uint64_t offset) override {
        if (::GetFileType(handle_) != FILE_TYPE_DISK) return false;
        LARGE_INTEGER to{};
        to.QuadPart = LONGLONG(offset);
        if (!::SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) {
            throw Win32FileError(FileError::Op::Read, path_, ::GetLastError());
        }
        return true;
    }
    bool InputAtHand() override {
        switch (::GetFileType(handle_)) {
            case FILE_TYPE_PIPE: {
                DWORD available = 0;
                // A pipe whose writer left has its end at hand.
                if (!::PeekNamedPipe(handle_, nullptr, 0, nullptr, &available, nullptr)) {
                    return true;
                }
                return available > 0;
            }
            case FILE_TYPE_CHAR:
                return ::WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0;
            default:
                return true;
        }
    }

private:
    HANDLE handle_;
    std::string path_;
    std::uint64_t size_;
};

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return ::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

// The POSIX names of the standard streams, which callers use for "-", stand for the process's
// standard handles here.
constexpr std::string_view kStandardInput = "/dev/stdin";
constexpr std::string_view kStandardOutput = "/dev/stdout";

HANDLE DuplicateStandard(DWORD which) {
    HANDLE copy = INVALID_HANDLE_VALUE;
    const HANDLE process = ::GetCurrentProcess();
    if (!::DuplicateHandle(process, ::GetStdHandle(which), process, &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS)) {
        return INVALID_HANDLE_VALUE;
    }
    return copy;
}

class WindowsFileSystem final : public FileSystem {
public:
    bool IsFile(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        return Attributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        if (path == kStandardInput) {
            const HANDLE handle = DuplicateStandard(STD_INPUT_HANDLE);
            if (handle == INVALID_HANDLE_VALUE) {
                throw Win32FileError(FileError::Op::Open, path, ::GetLastError());
            }
            return std::make_unique<WindowsInputFile>(handle, path, 0);
        }
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (Attributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            throw FileError(FileError::Op::Open, path, EISDIR);
        }
        // Others may read the file meanwhile, but not change it; one putting a new file in its
        // place (a result replacing its own source) may.
        const HANDLE handle =
            ::CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            throw Win32FileError(FileError::Op::Open, path, ::GetLastError());
        }
        // Only a file on a disk has a size that says how much reading will give.
        LARGE_INTEGER size{};
        if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileSizeEx(handle, &size)) {
            size.QuadPart = 0;
        }
        return std::make_unique<WindowsInputFile>(handle, path, std::uint64_t(size.QuadPart));
    }
    std::uint64_t SizeHint(const std::string& path) noexcept override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!Attributes(path, data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return 0;
        }
        return std::uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    }
    std::unique_ptr<StagedFile> CreateReplacement(const std::string& target) override {
        if (target == kStandardOutput) {
            const HANDLE handle = DuplicateStandard(STD_OUTPUT_HANDLE);
            if (handle == INVALID_HANDLE_VALUE) {
                throw Win32FileError(FileError::Op::Create, target, ::GetLastError());
            }
            return CreateWindowsDirectFile(target, handle);
        }
        return CreateWindowsStagedFile(target);
    }
};

}  // namespace

FileSystem& RealFileSystem() {
    static WindowsFileSystem fs;
    return fs;
}

std::string ExecutableDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0) return "./";
        if (n < buffer.size()) {
            std::wstring path(buffer.data(), n);
            const std::size_t slash = path.find_last_of(L"\\/");
            if (slash == std::wstring::npos) return "./";
            path.resize(slash + 1);
            // A "\\?\" prefix stays: the folder's files are named by appending to it.
            return Utf8FromWide(path);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace haojian
