// Wide texts, error numbers and the system's error texts on Windows.
#include "core/platform/windows/windows_text.h"

#include <cerrno>
#include <cstring>
#include <iterator>

#include "core/text/gbk.h"

namespace haojian {
namespace {

struct ErrorPair {
    DWORD win32;
    int code;
};

// Win32 errors of the file functions and the error numbers the core's logic tells apart.
constexpr ErrorPair kErrors[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_DRIVE, ENOENT},
    {ERROR_BAD_NETPATH, ENOENT},
    {ERROR_BAD_PATHNAME, ENOENT},
    {ERROR_DIRECTORY, ENOTDIR},
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_SHARING_VIOLATION, EWOULDBLOCK},
    {ERROR_LOCK_VIOLATION, EWOULDBLOCK},
    {ERROR_FILE_EXISTS, EEXIST},
    {ERROR_ALREADY_EXISTS, EEXIST},
    {ERROR_DISK_FULL, ENOSPC},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_INVALID_NAME, EINVAL},
    {ERROR_BROKEN_PIPE, EPIPE},
    {ERROR_NO_DATA, EPIPE},
    {ERROR_CRC, EIO},
    {ERROR_READ_FAULT, EIO},
    {ERROR_WRITE_FAULT, EIO},
    {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
    {ERROR_NOT_READY, EIO},
};

// Texts of the system for error numbers that have no Win32 error of their own.
std::string TextForErrno(int code) {
    switch (code) {
        case EAGAIN:
            return Win32Reason(ERROR_NOT_ENOUGH_MEMORY);
        default:
            return std::strerror(code);
    }
}

}  // namespace

std::wstring WidePath(const std::string& path) {
    std::wstring wide = WideFromUtf8(path);
    constexpr std::size_t kClassicLimit = 248;  // the shortest limit of the file functions
    const bool absolute =
        wide.size() > 2 && wide[1] == L':' && (wide[2] == L'\\' || wide[2] == L'/');
    if (wide.size() < kClassicLimit || !absolute) return wide;
    // "\\?\" paths go to the file system as they are: no "/" as separator, no "." or "..".
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    return L"\\\\?\\" + wide;
}

int ErrnoFromWin32(DWORD error) {
    for (const ErrorPair& e : kErrors) {
        if (e.win32 == error) return e.code;
    }
    return EIO;
}

std::string Win32Reason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (n == 0 || text == nullptr) return "Error " + std::to_string(error);
    std::wstring reason(text, n);
    ::LocalFree(text);
    // The texts end in a line break, and English ones in a full stop, which messages add
    // themselves.
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' ||
                               reason.back() == L' ' || reason.back() == L'.')) {
        reason.pop_back();
    }
    return Utf8FromWide(reason);
}

FileError Win32FileError(FileError::Op op, const std::string& path, DWORD error) {
    // A missing folder reads as a missing file, as ENOENT says of both on Linux.
    const DWORD told = error == ERROR_PATH_NOT_FOUND ? ERROR_FILE_NOT_FOUND : error;
    return FileError(op, path, ErrnoFromWin32(told), Win32Reason(told), int(error));
}

std::string SystemReason(int code) {
    // The Win32 error that stands for the number, so that the text is the system's own.
    for (const ErrorPair& e : kErrors) {
        if (e.code == code) return Win32Reason(e.win32);
    }
    return TextForErrno(code);
}

}  // namespace haojian
