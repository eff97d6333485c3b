#include <windows.h>

#include "core/text/gbk_code_page.h"

namespace haojian {
namespace {

constexpr UINT kGbkCodePage = 936;

char16_t Decode(const char* bytes, int length) {
    wchar_t out[4];
    const int n = ::MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes, length, out, 4);
    return n == 1 ? char16_t(out[0]) : 0;
}

}  // namespace

void ReadGbkCodePage(GbkDecoding& raw) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char byte = char(b);
        raw.single[b] = Decode(&byte, 1);
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char bytes[2] = {char(lead), char(trail)};
            raw.pair[(lead << 8) | trail] = Decode(bytes, 2);
        }
    }
}

}  // namespace haojian
