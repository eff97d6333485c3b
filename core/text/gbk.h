#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace haojian {

// GBK bytes to and from Unicode, for display and typed input only: the core keeps GBK bytes.
//
// Decoding is one to one: a byte that starts no GBK character decodes to a private-use code
// point of its own (U+F700 + byte), and encoding turns that code point back into the byte.
// So decoding never merges two different byte strings, and GbkFromUtf16(Utf16FromGbk(b)) == b.

std::u16string Utf16FromGbk(std::string_view gbk);
// The same into out, which must hold gbk.size() code units (never more are needed); gives the
// number written. For callers that decode text after text into storage of their own.
std::size_t Utf16FromGbk(std::string_view gbk, char16_t* out);
// Characters GBK cannot hold become "?", one for each (a surrogate pair is one character).
std::string GbkFromUtf16(std::u16string_view text);
// The same, adding to unmapped the characters that became "?".
std::string GbkFromUtf16(std::u16string_view text, std::size_t& unmapped);

std::string Utf8FromGbk(std::string_view gbk);
// Invalid UTF-8 and characters GBK cannot hold become "?".
std::string GbkFromUtf8(std::string_view utf8);

// The code point an undecodable byte decodes to.
constexpr char16_t PrivateUseForByte(unsigned char byte) {
    return char16_t(0xF700 + byte);
}

// The code points of GBK's single bytes and byte pairs, 0 where a byte or pair is no
// character (a pair's lead byte then decodes on its own). Immutable once built.
struct GbkDecoding {
    std::array<char16_t, 256> single{};
    std::array<char16_t, 65536> pair{};
};
const GbkDecoding& GbkDecodingTables();

// The character of gbk that starts at i, as Utf16FromGbk decodes it, with i moved past it.
inline char16_t DecodeGbkAt(const GbkDecoding& t, std::string_view gbk, std::size_t& i) {
    const auto b = static_cast<unsigned char>(gbk[i++]);
    if (b < 0x80) return char16_t(b);
    if (i < gbk.size()) {
        const auto trail = static_cast<unsigned char>(gbk[i]);
        if (const char16_t cp = t.pair[(b << 8) | trail]; cp != 0) {
            ++i;
            return cp;
        }
    }
    const char16_t cp = t.single[b];
    return cp != 0 ? cp : PrivateUseForByte(b);
}

}  // namespace haojian
