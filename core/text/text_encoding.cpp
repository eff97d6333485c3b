#include "core/text/text_encoding.h"

#include <algorithm>
#include <cstdint>

#include "core/text/gbk.h"

namespace haojian {

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        char32_t code;
        char32_t least;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

bool IsValidGbk(std::string_view text) {
    // Bytes that start no GBK character decode to private-use code points of their own.
    for (const char16_t c : Utf16FromGbk(text)) {
        if (c >= PrivateUseForByte(0x80) && c <= PrivateUseForByte(0xFF)) return false;
    }
    return true;
}

bool LooksLikeUtf16WithoutMark(std::string_view first_bytes) {
    if (FindByteOrderMark(first_bytes) != ByteOrderMark::kNone) return false;
    const std::size_t size = std::min<std::size_t>(first_bytes.size(), 64) & ~std::size_t(1);
    std::size_t zeros[2] = {0, 0};
    for (std::size_t i = 0; i < size; ++i) {
        if (first_bytes[i] == '\0') ++zeros[i % 2];
    }
    const std::size_t pairs = size / 2;
    return pairs != 0 && (zeros[0] == 0) != (zeros[1] == 0) && 4 * (zeros[0] + zeros[1]) >= pairs;
}

ByteOrderMark FindByteOrderMark(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return ByteOrderMark::kUtf8;
    if (bytes.starts_with("\xFF\xFE")) return ByteOrderMark::kUtf16LittleEndian;
    if (bytes.starts_with("\xFE\xFF")) return ByteOrderMark::kUtf16BigEndian;
    return ByteOrderMark::kNone;
}

std::size_t ByteOrderMarkSize(ByteOrderMark mark) {
    switch (mark) {
        case ByteOrderMark::kNone:
            return 0;
        case ByteOrderMark::kUtf8:
            return 3;
        case ByteOrderMark::kUtf16LittleEndian:
        case ByteOrderMark::kUtf16BigEndian:
            return 2;
    }
    return 0;
}

std::u16string Utf16FromBytes(std::string_view bytes, bool big_endian) {
    std::u16string text;
    text.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(big_endian ? char16_t(first << 8 | second) : char16_t(second << 8 | first));
    }
    if (bytes.size() % 2 != 0) text.push_back(u'\uFFFD');
    return text;
}

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

int CompareInCodePointOrder(std::u16string_view a, std::u16string_view b) {
    // Surrogates move above every other unit, as their code points lie above U+FFFF.
    const auto order = [](char16_t u) -> std::uint32_t {
        return u >= 0xD800 && u <= 0xDFFF ? u + 0x10000u : u >= 0xE000 ? u - 0x800u : u;
    };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return order(a[i]) < order(b[i]) ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i++]);
        if (lead < 0x80) {
            out.push_back(char16_t(lead));
            continue;
        }
        // The length of the sequence and the range its second byte must lie in.
        std::size_t more = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        char32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1, code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2, code = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3, code = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            out.push_back(u'\uFFFD');
            continue;
        }
        bool whole = true;
        for (std::size_t k = 0; k < more; ++k) {
            const unsigned char next = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
            if (i >= text.size() || next < low || next > high) {
                whole = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
            ++i;
            low = 0x80, high = 0xBF;
        }
        if (!whole) {
            out.push_back(u'\uFFFD');
        } else if (code >= 0x10000) {
            out.push_back(char16_t(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(code));
        }
    }
    return out;
}

}  // namespace haojian
