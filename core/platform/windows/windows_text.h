#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/files/file_system.h"
#include "core/text/text_encoding.h"

namespace haojian {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API's texts are UTF-16");

// The core's UTF-8 texts to and from the wide texts of the Win32 API, by the core's one
// conversion: an ill-formed part becomes U+FFFD.
inline std::wstring WideFromUtf8(std::string_view utf8) {
    const std::u16string text = Utf16FromUtf8(utf8);
    return std::wstring(text.begin(), text.end());
}
inline std::string Utf8FromWide(std::wstring_view wide) {
    return Utf8FromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

// A UTF-8 path for the wide file functions: an absolute path longer than the classic limit
// gets the "\\?\" prefix (and backslashes), so that long paths work where the system allows.
std::wstring WidePath(const std::string& path);

// The error number the core's logic knows (ENOENT, EACCES, ...) for a Win32 error.
int ErrnoFromWin32(DWORD error);
// The system's text for a Win32 error, in the system's language, as UTF-8.
std::string Win32Reason(DWORD error);
// A FileError for the Win32 error: the core's error number, the system's own text and number.
FileError Win32FileError(FileError::Op op, const std::string& path, DWORD error);

}  // namespace haojian
