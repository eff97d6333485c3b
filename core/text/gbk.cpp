#include "core/text/gbk.h"

#include <array>
#include <cstdint>
#include <memory>

#include "core/text/gbk_code_page.h"
#include "core/text/text_encoding.h"

namespace haojian {
namespace {

constexpr char16_t kNone = 0;

// Conversion tables built once from the platform's GBK code page. Immutable after construction.
struct GbkTables : GbkDecoding {
    // single: byte -> code point, kNone if not one; pair: (lead << 8 | trail) -> code point
    std::array<std::uint16_t, 65536> encode{};  // code point -> bytes (1 or 2), 0 = none

    GbkTables() {
        const auto raw_tables = std::make_unique<GbkDecoding>();
        const GbkDecoding& raw = *raw_tables;
        ReadGbkCodePage(*raw_tables);
        // A surrogate, U+FFFD or a code point of the range that undecodable bytes use is no
        // character of ours.
        const auto usable = [](char16_t cp) {
            return !(cp >= 0xD800 && cp <= 0xDFFF) && cp != 0xFFFD &&
                   !(cp >= 0xF700 && cp <= 0xF7FF);
        };
        const auto decode = [&](const char* bytes, int length) -> char16_t {
            const auto lead = static_cast<unsigned char>(bytes[0]);
            const char16_t cp = length == 1
                                    ? raw.single[lead]
                                    : raw.pair[(lead << 8) | static_cast<unsigned char>(bytes[1])];
            return usable(cp) ? cp : kNone;
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
            // A character past the Basic Multilingual Plane is one "?", for both its halves.
            const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                              text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
            if (pair) ++i;
            out.push_back('?');
            ++unmapped;
        }
    }
    return out;
}

std::string GbkFromUtf16(std::u16string_view text) {
    std::size_t unmapped = 0;
    return GbkFromUtf16(text, unmapped);
}

std::string Utf8FromGbk(std::string_view gbk) {
    return Utf8FromUtf16(Utf16FromGbk(gbk));
}

std::string GbkFromUtf8(std::string_view utf8) {
    std::u16string text = Utf16FromUtf8(utf8);
    for (char16_t& c : text) {
        if (c == 0xFFFD) c = u'?';
    }
    return GbkFromUtf16(text);
}

}  // namespace haojian
