#pragma once

#include <cstddef>
#include <string_view>

namespace haojian {

// True when every byte of text is an ASCII digit (the empty text too). Such texts order byte by
// byte exactly as the collation orders them, and no case folding touches them.
constexpr bool IsAsciiDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// True when text is exactly length ASCII digits, as a segment prefix (7) or a city code (4).
constexpr bool IsDigits(std::string_view text, std::size_t length) {
    return text.size() == length && IsAsciiDigits(text);
}

// The decimal value of a text of ASCII digits short enough to fit.
constexpr std::size_t DecimalValue(std::string_view digits) {
    std::size_t value = 0;
    for (const char c : digits) value = value * 10 + std::size_t(c - '0');
    return value;
}

}  // namespace haojian
