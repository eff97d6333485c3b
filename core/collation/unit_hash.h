#pragma once

#include <cstdint>

namespace haojian {

// A hash of a sequence of UTF-16 code units, taken four at a time: a multiplication per word
// of four rather than per unit. Units may be added one at a time or four at once, in any mix:
// the same units give the same hash.
class UnitHash {
public:
    void Add(char16_t u) {
        word_ |= std::uint64_t(u) << (16 * (count_++ & 3));
        if ((count_ & 3) == 0) {
            hash_ = (hash_ ^ word_) * kPrime;
            word_ = 0;
        }
    }

    // Four units, the first in the lowest 16 bits.
    void AddFour(std::uint64_t units) {
        const unsigned filled = count_ & 3;
        if (filled == 0) {
            hash_ = (hash_ ^ units) * kPrime;
        } else {
            hash_ = (hash_ ^ word_ ^ (units << (16 * filled))) * kPrime;
            word_ = units >> (64 - 16 * filled);
        }
        count_ += 4;
    }

    std::uint64_t Value() const {
        std::uint64_t h = (hash_ ^ word_ ^ (std::uint64_t(count_) << 48)) * kPrime;
        h ^= h >> 29;
        return h;
    }

private:
    static constexpr std::uint64_t kStart = 0xCBF29CE484222325ULL;
    static constexpr std::uint64_t kPrime = 0x100000001B3ULL;

    std::uint64_t hash_ = kStart;
    std::uint64_t word_ = 0;
    std::uint32_t count_ = 0;
};

}  // namespace haojian
