#include "core/text/gbk.h"

#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <array>
#include <memory>
#include <stdexcept>

namespace haojian {
namespace {

constexpr char16_t kNone = 0;

// Conversion tables built once from ICU's GBK converter. Immutable after construction.
struct GbkTables : GbkDecoding {
    // single: byte -> code point, kNone if not one; pair: (lead << 8 | trail) -> code point
    std::array<std::uint16_t, 65536> encode{};  // code point -> bytes (1 or 2), 0 = none

    GbkTables() {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UConverter, decltype(&ucnv_close)> conv(ucnv_open("GBK", &status),
                                                                ucnv_close);
        if (U_FAILURE(status)) throw std::runtime_error("ICU has no GBK converter");
        ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);

        auto decode = [&](const char* bytes, int length) -> char16_t {
            UErrorCode st = U_ZERO_ERROR;
            UChar out[4];
            ucnv_reset(conv.get());
            const int n = ucnv_toUChars(conv.get(), out, 4, bytes, length, &st);
            if (U_FAILURE(st) || n != 1 || out[0] == 0xFFFD || U16_IS_SURROGATE(out[0])) {
                return kNone;
            }
            // Keep the range that undecodable bytes use free.
            if (out[0] >= 0xF700 && out[0] <= 0xF7FF) return kNone;
            return out[0];
        };

        for (int b = 0; b < 0x80; ++b) single[b] = char16_t(b);
        single[0x80] = decode("\x80", 1);
        for (int b = 0; b < 0x80; ++b) encode[b] = std::uint16_t(b);
        if (single[0x80] != kNone) encode[single[0x80]] = 0x80;

        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                const char bytes[2] = {char(lead), char(trail)};
                const char16_t cp = decode(bytes, 2);
                // A code point reached twice keeps its first sequence only, so that decoding
                // stays one to one; the later sequence then decodes byte by byte.
                if (cp == kNone || cp < 0x80 || encode[cp] != 0) continue;
                pair[(lead << 8) | trail] = cp;
                encode[cp] = std::uint16_t((lead << 8) | trail);
            }
        }
        for (int b = 0x80; b <= 0xFF; ++b) encode[PrivateUseForByte(std::uint8_t(b))] = 0;
    }
};

const GbkTables& Tables() {
    static const GbkTables tables;
    return tables;
}

}  // namespace

std::u16string Utf16FromGbk(std::string_view gbk) {
    std::u16string out(gbk.size(), u'\0');
    out.resize(Utf16FromGbk(gbk, out.data()));
    return out;
}

const GbkDecoding& GbkDecodingTables() {
    return Tables();
}

std::size_t Utf16FromGbk(std::string_view gbk, char16_t* out) {
    const GbkDecoding& t = Tables();
    std::size_t n = 0;
    for (std::size_t i = 0; i < gbk.size();) out[n++] = DecodeGbkAt(t, gbk, i);
    return n;
}

std::string GbkFromUtf16(std::u16string_view text, std::size_t& unmapped) {
    const GbkTables& t = Tables();
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= PrivateUseForByte(0x80) && c <= PrivateUseForByte(0xFF)) {
            out.push_back(char(c - 0xF700));
        } else if (const std::uint16_t bytes = t.encode[c]; bytes > 0xFF) {
            out.push_back(char(bytes >> 8));
            out.push_back(char(bytes & 0xFF));
        } else if (bytes != 0 || c == 0) {
            out.push_back(char(bytes));
        } else {
            out.push_back('?');
            // The low half of a pair is the same character as its high half.
            const bool low_of_pair = U16_IS_TRAIL(c) && i > 0 && U16_IS_LEAD(text[i - 1]);
            if (!low_of_pair) ++unmapped;
        }
    }
    return out;
}

std::string GbkFromUtf16(std::u16string_view text) {
    std::size_t unmapped = 0;
    return GbkFromUtf16(text, unmapped);
}

std::string Utf8FromGbk(std::string_view gbk) {
    const std::u16string u = Utf16FromGbk(gbk);
    std::string out;
    icu::UnicodeString(false, u.data(), int32_t(u.size())).toUTF8String(out);
    return out;
}

std::string GbkFromUtf8(std::string_view utf8) {
    const icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(utf8.size())));
    std::u16string text(reinterpret_cast<const char16_t*>(u.getBuffer()), std::size_t(u.length()));
    // Supplementary characters have no GBK form; each surrogate half becomes "?".
    for (char16_t& c : text) {
        if (U16_IS_SURROGATE(c) || c == 0xFFFD) c = u'?';
    }
    return GbkFromUtf16(text);
}

}  // namespace haojian
