#pragma once

#include <string>
#include <string_view>

namespace haojian::win32 {

// The window's texts as the wide API takes them: UTF-16, as wchar_t is on Windows.
inline std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}
inline std::u16string Utf16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

// The core's GBK texts shown, and typed texts handed to the core.
std::wstring WideFromGbk(std::string_view gbk);
std::string GbkFromWide(std::wstring_view text);

// Paths as the core names them (UTF-8) and as the wide API does.
std::string CorePath(std::wstring_view path);
std::wstring WidePath(std::string_view path);

}  // namespace haojian::win32
