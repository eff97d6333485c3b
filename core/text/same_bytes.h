#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace haojian {

// Whether two texts hold the same bytes. Merges compare every repeated line with the line it
// repeats, mostly short ones; a C library's memcmp may go a byte at a time (wine's does), so the
// comparison takes eight bytes at once, with the last eight overlapping when the length is not
// a multiple of eight.
inline bool SameBytes(std::string_view a, std::string_view b) {
    const std::size_t size = a.size();
    if (size != b.size()) return false;
    const auto word = [](const char* at) {
        std::uint64_t w;
        std::memcpy(&w, at, sizeof w);
        return w;
    };
    if (size >= 8) {
        std::size_t i = 0;
        for (; i + 8 < size; i += 8) {
            if (word(a.data() + i) != word(b.data() + i)) return false;
        }
        return word(a.data() + size - 8) == word(b.data() + size - 8);
    }
    for (std::size_t i = 0; i < size; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

}  // namespace haojian
