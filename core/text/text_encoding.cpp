#include "core/text/text_encoding.h"

#include <unicode/unistr.h>

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

std::u16string Utf16FromUtf8(std::string_view text) {
    const icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size())));
    return std::u16string(reinterpret_cast<const char16_t*>(u.getBuffer()),
                          std::size_t(u.length()));
}

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    icu::UnicodeString(false, text.data(), int32_t(text.size())).toUTF8String(out);
    return out;
}

}  // namespace haojian
