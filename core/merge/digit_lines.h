#pragma once

// Lines of ASCII digits, packed into words that order as the lines do.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// Writes the digits of key to out (room for kMaxDigitKeyLength, all of which may be written);
// gives their number. All sixteen nibbles at once: each half of the word spread a nibble a
// byte, in text order, and moved from 1..10 to '0'..'9'.
inline std::size_t DecodeDigitKey(std::uint64_t key, char* out) {
    const auto spread = [](std::uint64_t half) {
        half = (half | half << 16) & 0x0000FFFF0000FFFFull;
        half = (half | half << 8) & 0x00FF00FF00FF00FFull;
        half = (half | half << 4) & 0x0F0F0F0F0F0F0F0Full;
        if constexpr (std::endian::native == std::endian::little) {
            half = __builtin_bswap64(half);
        }
        return half + 0x2F2F2F2F2F2F2F2Full;
    };
    const std::uint64_t high = spread(key >> 32);
    const std::uint64_t low = spread(key & 0xFFFFFFFFu);
    std::memcpy(out, &high, 8);
    std::memcpy(out + 8, &low, 8);
    return key == 0 ? 0 : kMaxDigitKeyLength - std::size_t(std::countr_zero(key)) / 4;
}

// Sorts keys in ascending order, using scratch (at least as long as keys) as it likes.
void RadixSort(std::span<std::uint64_t> keys, std::span<std::uint64_t> scratch);
void RadixSort(std::span<std::uint64_t> keys);

// The words of runs sorted, each once: each run sorted on a thread of its own unless they are
// few, then the runs merged pairwise.
std::vector<std::uint64_t> SortedUniqueWords(std::vector<std::vector<std::uint64_t>> runs);

}  // namespace haojian::sorting
