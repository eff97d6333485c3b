#include "win32/wide_text.h"

#include <windows.h>

#include "core/text/gbk.h"

namespace haojian::win32 {

std::wstring WideFromGbk(std::string_view gbk) {
    return Wide(Utf16FromGbk(gbk));
}

std::string GbkFromWide(std::wstring_view text) {
    return GbkFromUtf16(Utf16(text));
}

std::string CorePath(std::wstring_view path) {
    if (path.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, path.data(), int(path.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.data(), int(path.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

std::wstring WidePath(std::string_view path) {
    if (path.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), nullptr, 0);
    std::wstring out(std::size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), out.data(), size);
    return out;
}

}  // namespace haojian::win32
