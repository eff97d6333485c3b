#include "win32/wide_text.h"

#include "core/text/gbk.h"

namespace haojian::win32 {

std::wstring WideFromGbk(std::string_view gbk) {
    return Wide(Utf16FromGbk(gbk));
}

std::string GbkFromWide(std::wstring_view text) {
    return GbkFromUtf16(Utf16(text));
}

}  // namespace haojian::win32
