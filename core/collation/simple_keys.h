#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace haojian {

// Keys of the system's own for texts made of "simple" characters only: characters that the
// collation weighs one at a time, each with one collation element of common secondary and
// tertiary weight, in no contraction and no expansion (digits, Latin letters once folded,
// spaces, most punctuation, the Chinese characters). Between two such texts the collation
// compares the primary weights character by character, a shorter text first, so the ranks of
// those weights, written in order, are keys that order as the collation's own do; and they cost
// a table look-up a character instead of the collation library's work.
//
// The rank of an ASCII character, of which most texts are largely made, is written as one byte;
// the ranks between two such as two bytes, a first byte shared by up to 255 of them in a row and
// a second 0x01-0xFF. First bytes are given out in rank order, so that byte order is rank order,
// and no key holds a 0 byte but the one that closes it. Characters that share a weight share a
// rank: the collation finds such texts equal, and they are ordered as collation ties are.
class SimpleKeyTable {
public:
    // No unit simple: for a system that has no simple keys.
    SimpleKeyTable() : codes_(0x10000, 0) {}
    // The codes by code unit (0x10000 of them), as the system made them.
    explicit SimpleKeyTable(std::vector<std::uint16_t> codes) : codes_(std::move(codes)) {}

    // The rank code of folded unit u (below 0x100: one byte; else two, high byte first), or 0
    // when u is not simple.
    std::uint16_t Code(char16_t u) const { return codes_[u]; }

private:
    std::vector<std::uint16_t> codes_;  // by code unit
};

}  // namespace haojian
