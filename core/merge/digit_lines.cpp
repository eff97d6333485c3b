#include "core/merge/digit_lines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

#include "core/base/huge_pages.h"
#include "core/threads/run_parallel.h"

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

namespace {

// Words below which sorting runs on threads of their own is not worth it.
constexpr std::size_t kWordsPerThread = std::size_t(1) << 16;

// Appends the words of two sorted runs to out in order, each once.
void MergeUnique(std::span<const std::uint64_t> a, std::span<const std::uint64_t> b,
                 std::vector<std::uint64_t>& out) {
    std::size_t i = 0;
    std::size_t j = 0;
    const auto put = [&](std::uint64_t v) {
        if (out.empty() || out.back() != v) out.push_back(v);
    };
    while (i < a.size() && j < b.size()) put(a[i] <= b[j] ? a[i++] : b[j++]);
    while (i < a.size()) put(a[i++]);
    while (j < b.size()) put(b[j++]);
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
    RunParallel(runs.size(), [&](std::size_t i) { RadixSort(runs[i]); });
    const bool merged = runs.size() > 1;  // merged runs hold each word once
    while (runs.size() > 1) {
        std::vector<std::vector<std::uint64_t>> next((runs.size() + 1) / 2);
        RunParallel(next.size(), [&](std::size_t i) {
            if (2 * i + 1 == runs.size()) {
                next[i] = std::move(runs[2 * i]);
                return;
            }
            ReserveHuge(next[i], runs[2 * i].size() + runs[2 * i + 1].size());
            MergeUnique(runs[2 * i], runs[2 * i + 1], next[i]);
            std::vector<std::uint64_t>().swap(runs[2 * i]);
            std::vector<std::uint64_t>().swap(runs[2 * i + 1]);
        });
        runs = std::move(next);
    }
    std::vector<std::uint64_t> words = std::move(runs[0]);
    if (!merged) words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

}  // namespace haojian::sorting
