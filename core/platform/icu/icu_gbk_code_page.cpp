#include <unicode/ucnv.h>

#include <memory>
#include <stdexcept>

#include "core/text/gbk_code_page.h"

namespace haojian {

void ReadGbkCodePage(GbkDecoding& raw) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> conv(ucnv_open("GBK", &status), ucnv_close);
    if (U_FAILURE(status)) throw std::runtime_error("ICU has no GBK converter");
    ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    const auto decode = [&](const char* bytes, int length) -> char16_t {
        UErrorCode st = U_ZERO_ERROR;
        UChar out[4];
        ucnv_reset(conv.get());
        const int n = ucnv_toUChars(conv.get(), out, 4, bytes, length, &st);
        return U_FAILURE(st) || n != 1 ? 0 : out[0];
    };
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char byte = char(b);
        raw.single[b] = decode(&byte, 1);
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char bytes[2] = {char(lead), char(trail)};
            raw.pair[(lead << 8) | trail] = decode(bytes, 2);
        }
    }
}

}  // namespace haojian
