#include "core/text/gbk.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

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

// The GBK bytes of c onto out; false (nothing added) when GBK cannot hold it.
bool AppendGbk(const GbkTables& t, char16_t c, std::string& out) {
    if (c >= PrivateUseForByte(0x80) && c <= PrivateUseForByte(0xFF)) {
        out.push_back(char(c - 0xF700));
    } else if (const std::uint16_t bytes = t.encode[c]; bytes > 0xFF) {
        out.push_back(char(bytes >> 8));
        out.push_back(char(bytes & 0xFF));
    } else if (bytes != 0 || c == 0) {
        out.push_back(char(bytes));
    } else {
        return false;
    }
    return true;
}

// The code point of the well-formed UTF-8 sequence of one to three bytes at i (i moved past
// it), or none for anything else: a broken sequence or one past the Basic Multilingual Plane.
// Surrogates are no well-formed UTF-8.
std::optional<char16_t> NextBmpCharacter(std::string_view utf8, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return char16_t(lead);
    }
    if (lead >= 0xC2 && lead <= 0xDF && i + 1 < utf8.size() && (byte(i + 1) & 0xC0) == 0x80) {
        const auto c = char16_t(((lead & 0x1F) << 6) | (byte(i + 1) & 0x3F));
        i += 2;
        return c;
    }
    if (lead >= 0xE0 && lead <= 0xEF && i + 2 < utf8.size()) {
        const unsigned char second = byte(i + 1);
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        if (second >= low && second <= high && (byte(i + 2) & 0xC0) == 0x80) {
            const auto c =
                char16_t(((lead & 0x0F) << 12) | ((second & 0x3F) << 6) | (byte(i + 2) & 0x3F));
            i += 3;
            return c;
        }
    }
    return std::nullopt;
}

void AppendUtf8(char16_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// Invalid UTF-8 becomes U+FFFD, then "?".
std::string GbkFromUtf8ThroughUtf16(std::string_view utf8) {
    std::u16string text = Utf16FromUtf8(utf8);
    for (char16_t& c : text) {
        if (c == 0xFFFD) c = u'?';
    }
    return GbkFromUtf16(text);
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
        if (!AppendGbk(t, c, out)) {
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
    // Decoding gives no surrogate, so each character is one to three bytes of UTF-8.
    const GbkDecoding& t = Tables();
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    for (std::size_t i = 0; i < gbk.size();) AppendUtf8(DecodeGbkAt(t, gbk, i), out);
    return out;
}

std::string GbkFromUtf8(std::string_view utf8) {
    // Cells and names are mostly well-formed and within the Basic Multilingual Plane: those go
    // straight across; anything else the long way, through UTF-16.
    const GbkTables& t = Tables();
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::optional<char16_t> c = NextBmpCharacter(utf8, i);
        if (!c) return GbkFromUtf8ThroughUtf16(utf8);
        if (*c == 0xFFFD || !AppendGbk(t, *c, out)) out.push_back('?');
    }
    return out;
}

}  // namespace haojian
