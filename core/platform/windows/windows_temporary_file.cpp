// Temporary files on Windows: hidden, marked for deletion on close from the moment they are
// made, so that the system removes them however the process ends.
#include "core/platform/windows/windows_temporary_file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "core/files/temporary_file.h"
#include "core/platform/windows/windows_text.h"

namespace haojian {
namespace {

[[noreturn]] void Fail(FileError::Op op, const std::string& folder, DWORD error) {
    throw TemporaryFolderError(op, folder, ErrnoFromWin32(error), Win32Reason(error));
}

class WindowsTemporaryFile final : public TemporaryFile {
public:
    WindowsTemporaryFile(HANDLE file, std::string folder)
        : file_(file), folder_(std::move(folder)) {}
    ~WindowsTemporaryFile() override { ::CloseHandle(file_); }

    void Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!::WriteFile(file_, bytes.data(), chunk, &written, nullptr)) {
                Fail(FileError::Op::Write, folder_, ::GetLastError());
            }
            if (written == 0) Fail(FileError::Op::Write, folder_, ERROR_DISK_FULL);
            bytes.remove_prefix(written);
        }
    }

    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            OVERLAPPED at{};
            const std::uint64_t from = offset + done;
            at.Offset = DWORD(from);
            at.OffsetHigh = DWORD(from >> 32);
            const DWORD chunk = DWORD(std::min<std::size_t>(size - done, 1u << 30));
            DWORD read = 0;
            if (!::ReadFile(file_, buffer + done, chunk, &read, &at)) {
                const DWORD error = ::GetLastError();
                if (error == ERROR_HANDLE_EOF) break;
                Fail(FileError::Op::Read, folder_, error);
            }
            if (read == 0) break;
            done += read;
        }
        // A positioned read moves the file pointer: writing goes on at the end.
        LARGE_INTEGER end{};
        ::SetFilePointerEx(file_, end, nullptr, FILE_END);
        return done;
    }

private:
    HANDLE file_;
    std::string folder_;
};

// "haojian-merge-" and a number no other file of this process or another run shares at once.
std::wstring FreshName(unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    const unsigned long long seed = (unsigned long long)::GetCurrentProcessId() << 32 ^
                                    counter.fetch_add(1) * 2654435761u ^ ::GetTickCount64() ^
                                    attempt * 40503u;
    return L"haojian-merge-" + std::to_wstring(seed) + L".tmp";
}

}  // namespace

std::unique_ptr<TemporaryFile> CreateTemporaryFile(const std::string& given) {
    const std::string folder = given.empty() ? SystemTemporaryFolder() : given;
    const char last = folder.empty() ? '\\' : folder.back();
    const std::string prefix = last == '\\' || last == '/' ? folder : folder + "\\";
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = WidePath(prefix + Utf8FromWide(FreshName(attempt)));
        const HANDLE file = ::CreateFileW(
            path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return std::make_unique<WindowsTemporaryFile>(file, folder);
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            Fail(FileError::Op::Create, folder, error);
        }
    }
    Fail(FileError::Op::Create, folder, ERROR_FILE_EXISTS);
}

std::wstring WideTemporaryFolder() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD n = ::GetTempPathW(MAX_PATH + 2, buffer);
    if (n == 0 || n > MAX_PATH + 1) return {};
    return std::wstring(buffer, n);
}

std::string SystemTemporaryFolder() {
    const std::wstring folder = WideTemporaryFolder();
    return folder.empty() ? ".\\" : Utf8FromWide(folder);
}

}  // namespace haojian
