#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace haojian {

// Telling the encodings of texts that come from outside apart: typed arguments, number lists
// and segment tables made by other programs.

// True when text is well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF). The empty text and plain ASCII are.
bool IsValidUtf8(std::string_view text);

// True when every byte of text belongs to a character of GBK.
bool IsValidGbk(std::string_view text);

// The byte-order mark a text begins with.
enum class ByteOrderMark { kNone, kUtf8, kUtf16LittleEndian, kUtf16BigEndian };
ByteOrderMark FindByteOrderMark(std::string_view bytes);
// Its length in bytes (0 for none).
std::size_t ByteOrderMarkSize(ByteOrderMark mark);

// Whether a text without a byte-order mark that begins with first_bytes looks like UTF-16: NUL
// bytes in the first 64 bytes, all on even or all on odd positions and in a quarter of the
// pairs at least, as ASCII characters in UTF-16 have them.
bool LooksLikeUtf16WithoutMark(std::string_view first_bytes);

// The code units of UTF-16 bytes in the given byte order (the mark already removed). A last odd
// byte becomes U+FFFD.
std::u16string Utf16FromBytes(std::string_view bytes, bool big_endian);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);

// Negative, zero or positive as a sorts before, equal to or after b in code point order (which
// differs from code unit order where surrogates meet units above them).
int CompareInCodePointOrder(std::u16string_view a, std::u16string_view b);

// UTF-8 to UTF-16; each maximal part of an ill-formed sequence becomes one U+FFFD (the
// Unicode standard's recommended practice).
std::u16string Utf16FromUtf8(std::string_view text);

}  // namespace haojian
