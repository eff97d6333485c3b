#pragma once

#include <string>
#include <string_view>

namespace haojian {

// GBK bytes to and from Unicode, for display and typed input only: the core keeps GBK bytes.
//
// Decoding is one to one: a byte that starts no GBK character decodes to a private-use code
// point of its own (U+F700 + byte), and encoding turns that code point back into the byte.
// So decoding never merges two different byte strings, and GbkFromUtf16(Utf16FromGbk(b)) == b.

std::u16string Utf16FromGbk(std::string_view gbk);
// Characters GBK cannot hold become "?".
std::string GbkFromUtf16(std::u16string_view text);

std::string Utf8FromGbk(std::string_view gbk);
// Invalid UTF-8 and characters GBK cannot hold become "?".
std::string GbkFromUtf8(std::string_view utf8);

// The code point an undecodable byte decodes to.
constexpr char16_t PrivateUseForByte(unsigned char byte) {
    return char16_t(0xF700 + byte);
}

}  // namespace haojian
