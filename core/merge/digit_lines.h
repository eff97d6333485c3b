#pragma once

// Lines of ASCII digits, packed into words that order as the lines do.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace haojian::sorting {

// A line of up to 16 ASCII digits packs into one word whose integer order is the line order:
// digit d is the nibble d + 1, from the top down, and unused nibbles are 0, so that a line
// sorts before the lines it begins. Equal words are equal lines, byte for byte.
constexpr std::size_t kMaxDigitKeyLength = 16;

// Packs line into key when it is such a line.
inline bool DigitKey(std::string_view line, std::uint64_t* key) {
    if (line.size() > kMaxDigitKeyLength) return false;
    std::uint64_t packed = 0;
    int shift = 60;
    for (const char c : line) {
        const unsigned digit = unsigned(static_cast<unsigned char>(c)) - unsigned('0');
        if (digit > 9) return false;
        packed |= std::uint64_t(digit + 1) << shift;
        shift -= 4;
    }
    *key = packed;
    return true;
}

// Writes the digits of key to out (room for kMaxDigitKeyLength); gives their number.
inline std::size_t DecodeDigitKey(std::uint64_t key, char* out) {
    std::size_t n = 0;
    for (; key != 0; key <<= 4) out[n++] = char('0' + int(key >> 60) - 1);
    return n;
}

// Sorts keys in ascending order, using scratch (at least as long as keys) as it likes.
void RadixSort(std::span<std::uint64_t> keys, std::span<std::uint64_t> scratch);
void RadixSort(std::span<std::uint64_t> keys);

// The words of runs sorted, each once: each run sorted on a thread of its own unless they are
// few, then the runs merged pairwise.
std::vector<std::uint64_t> SortedUniqueWords(std::vector<std::vector<std::uint64_t>> runs);

}  // namespace haojian::sorting
