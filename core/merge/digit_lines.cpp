#include "core/merge/digit_lines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

#include "core/base/huge_pages.h"
#include "core/threads/run_parallel.h"

namespace haojian::sorting {

// Least significant digit first, 11 bits a pass, over the bits in which the keys differ.
void RadixSort(std::span<std::uint64_t> keys, std::span<std::uint64_t> scratch) {
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
    std::span<std::uint64_t> from = keys;
    std::span<std::uint64_t> to = scratch.first(keys.size());
    for (int p = 0; p < passes; ++p) {
        const int shift = low + p * kBits;
        std::size_t sum = 0;
        for (std::size_t& c : counts[p]) sum += std::exchange(c, sum);
        for (const std::uint64_t k : from) to[counts[p][(k >> shift) & kMask]++] = k;
        std::swap(from, to);
    }
    if (from.data() != keys.data()) std::copy(from.begin(), from.end(), keys.begin());
}

void RadixSort(std::span<std::uint64_t> keys) {
    std::vector<std::uint64_t> scratch(keys.size());
    RadixSort(keys, scratch);
}

namespace {

// Words below which sorting runs on threads of their own is not worth it.
constexpr std::size_t kWordsPerThread = std::size_t(1) << 16;

// Writes the words of two sorted runs to out in order, each once; gives how many.
std::size_t MergeUnique(std::span<const std::uint64_t> a, std::span<const std::uint64_t> b,
                        std::uint64_t* out) {
    std::size_t i = 0;
    std::size_t j = 0;
    std::size_t n = 0;
    const auto put = [&](std::uint64_t v) {
        if (n == 0 || out[n - 1] != v) out[n++] = v;
    };
    while (i < a.size() && j < b.size()) put(a[i] <= b[j] ? a[i++] : b[j++]);
    while (i < a.size()) put(a[i++]);
    while (j < b.size()) put(b[j++]);
    return n;
}

// Words at [offset, offset + size) of a buffer; a merge of it and the next region writes at
// the same offset, which has room for both.
struct Region {
    std::size_t offset = 0;
    std::size_t size = 0;
};

// Merges the regions of from pairwise into the same places of to.
std::vector<Region> MergeRound(const std::vector<Region>& regions,
                               std::span<const std::uint64_t> from, std::span<std::uint64_t> to) {
    std::vector<Region> next((regions.size() + 1) / 2);
    RunParallel(next.size(), [&](std::size_t i) {
        const Region& a = regions[2 * i];
        const auto words = [&](const Region& r) { return from.subspan(r.offset, r.size); };
        if (2 * i + 1 == regions.size()) {
            std::copy_n(from.begin() + std::ptrdiff_t(a.offset), a.size,
                        to.begin() + std::ptrdiff_t(a.offset));
            next[i] = a;
            return;
        }
        next[i] = {a.offset,
                   MergeUnique(words(a), words(regions[2 * i + 1]), to.data() + a.offset)};
    });
    return next;
}

std::vector<std::uint64_t> SizedBuffer(std::size_t words) {
    std::vector<std::uint64_t> buffer;
    ReserveHuge(buffer, words);
    buffer.resize(words);
    return buffer;
}

}  // namespace

std::vector<std::uint64_t> SortedUniqueWords(std::vector<std::vector<std::uint64_t>> runs) {
    if (runs.empty()) return {};
    std::size_t total = 0;
    for (const auto& run : runs) total += run.size();
    if (total < 2 * kWordsPerThread && runs.size() > 1) {
        for (std::size_t i = 1; i < runs.size(); ++i) {
            runs[0].insert(runs[0].end(), runs[i].begin(), runs[i].end());
        }
        runs.resize(1);
    }
    if (runs.size() == 1) {
        std::vector<std::uint64_t> words = std::move(runs[0]);
        RadixSort(words);
        words.erase(std::unique(words.begin(), words.end()), words.end());
        return words;
    }
    // One buffer serves every run's sort, then takes the first round of merges: the merges
    // write into memory the sorts have already brought in, not into fresh pages. Later rounds
    // (more than two runs) go back and forth between it and a second buffer.
    std::vector<std::uint64_t> buffer = SizedBuffer(total);
    std::vector<Region> regions(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (i > 0) regions[i].offset = regions[i - 1].offset + runs[i - 1].size();
        regions[i].size = runs[i].size();
    }
    RunParallel(runs.size(), [&](std::size_t i) {
        RadixSort(runs[i], std::span(buffer).subspan(regions[i].offset, runs[i].size()));
    });
    std::vector<Region> merged((runs.size() + 1) / 2);
    RunParallel(merged.size(), [&](std::size_t i) {
        const std::size_t offset = regions[2 * i].offset;
        if (2 * i + 1 == runs.size()) {
            std::copy(runs[2 * i].begin(), runs[2 * i].end(),
                      buffer.begin() + std::ptrdiff_t(offset));
            merged[i] = regions[2 * i];
        } else {
            merged[i] = {offset, MergeUnique(runs[2 * i], runs[2 * i + 1], buffer.data() + offset)};
            std::vector<std::uint64_t>().swap(runs[2 * i + 1]);
        }
        std::vector<std::uint64_t>().swap(runs[2 * i]);
    });
    std::vector<std::uint64_t> other;
    std::vector<std::uint64_t>* from = &buffer;
    std::vector<std::uint64_t>* to = &other;
    while (merged.size() > 1) {
        if (to->empty()) *to = SizedBuffer(total);
        merged = MergeRound(merged, *from, *to);
        std::swap(from, to);
    }
    std::vector<std::uint64_t> words = std::move(*from);
    words.resize(merged[0].size);
    return words;
}

}  // namespace haojian::sorting
