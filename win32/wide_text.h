#pragma once

#include <string>
#include <string_view>

// Paths and addresses, UTF-8 in the core: WideFromUtf8 and Utf8FromWide.
#include "core/platform/windows/windows_text.h"

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

}  // namespace haojian::win32
