#include "cli/list_input.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "core/files/file_system.h"
#include "core/platform/windows/windows_text.h"

namespace haojian::cli {
namespace {

class HandleInput final : public ListInput {
public:
    HandleInput(HANDLE handle, bool owned, std::string path)
        : handle_(handle), owned_(owned), path_(std::move(path)) {}
    ~HandleInput() override {
        if (owned_) ::CloseHandle(handle_);
    }
    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD n = 0;
        const DWORD want = DWORD(std::min<std::size_t>(size, 1u << 30));
        if (!::ReadFile(handle_, buffer, want, &n, nullptr)) {
            const DWORD error = ::GetLastError();
            // The writing end of a pipe closed: its end.
            if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;
            throw Win32FileError(FileError::Op::Read, path_, error);
        }
        return n;
    }
    bool AtHand() const override {
        switch (::GetFileType(handle_)) {
            case FILE_TYPE_PIPE: {
                DWORD available = 0;
                // A pipe whose writer left has its end at hand.
                if (!::PeekNamedPipe(handle_, nullptr, 0, nullptr, &available, nullptr))
                    return true;
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
    bool owned_;
    std::string path_;
};

}  // namespace

std::unique_ptr<ListInput> OpenListInput(const std::string& path, const std::string& shown_path) {
    if (path == "-") {
        return std::make_unique<HandleInput>(::GetStdHandle(STD_INPUT_HANDLE), false, shown_path);
    }
    const std::wstring wide = WidePath(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw FileError(FileError::Op::Open, shown_path, EISDIR);
    }
    // Others may read the list meanwhile, but not change it.
    const HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw Win32FileError(FileError::Op::Open, shown_path, ::GetLastError());
    }
    return std::make_unique<HandleInput>(handle, true, shown_path);
}

PathKind KindOfPath(const std::string& path, int& error) {
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = ErrnoFromWin32(::GetLastError());
        return PathKind::kNone;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::kFolder : PathKind::kOther;
}

}  // namespace haojian::cli
