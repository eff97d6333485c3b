#include "digit_lines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

namespace haojian::sorting {

// Least significant digit first, 11 bits a pass, over the bits in which the keys differ.
void RadixSort(std::span<std::uint64_t> keys) {
    constexpr int kBits = 11;
    constexpr std::uint64_t kMask = (1u << kBits) - 1;
    std::uint64_t any = 0;
    std::uint64_t all = ~std::uint64_t(0);
    for (const std::uint64_t k : keys) {
        any |= k;
        all &= k;
    }
    const std::uint64_t varying = any & ~all;
    if (varying == 0) return;
    const int low = std::countr_zero(varying);
    const int passes = (64 - std::countl_zero(varying) - low + kBits - 1) / kBits;
    std::vector<std::array<std::size_t, kMask + 1>> counts(static_cast<std::size_t>(passes));
    for (const std::uint64_t k : keys) {
        for (int p = 0; p < passes; ++p) ++counts[p][(k >> (low + p * kBits)) & kMask];
    }
    std::vector<std::uint64_t> scratch(keys.size());
    std::span<std::uint64_t> from = keys;
    std::span<std::uint64_t> to = scratch;
    for (int p = 0; p < passes; ++p) {
        const int shift = low + p * kBits;
        std::size_t sum = 0;
        for (std::size_t& c : counts[p]) sum += std::exchange(c, sum);
        for (const std::uint64_t k : from) to[counts[p][(k >> shift) & kMask]++] = k;
        std::swap(from, to);
    }
    if (from.data() != keys.data()) std::copy(from.begin(), from.end(), keys.begin());
}

}  // namespace haojian::sorting
