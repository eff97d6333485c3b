// Runs of digit words of any number and length come out sorted, each word once, however the
// merge rounds pair them (an odd run left over, empty runs, repeats within and across runs).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "core/merge/digit_lines.h"

namespace haojian::sorting {
namespace {

TEST(DigitLines, SortedUniqueWordsOfAnyRuns) {
    std::mt19937_64 rng(3);
    for (const std::size_t run_count : {1u, 2u, 3u, 4u, 5u, 7u}) {
        for (const std::size_t words_per_run :
             {std::size_t(0), std::size_t(1000), std::size_t(70000)}) {
            std::vector<std::vector<std::uint64_t>> runs(run_count);
            std::set<std::uint64_t> expected;
            for (std::size_t r = 0; r < run_count; ++r) {
                // Every third run empty; values from a small range, so that many repeat.
                const std::size_t n = r % 3 == 1 ? 0 : words_per_run + r * 17;
                for (std::size_t i = 0; i < n; ++i) {
                    const std::uint64_t word = (rng() % 50000) << (4 * (r % 3));
                    runs[r].push_back(word);
                    expected.insert(word);
                }
            }
            const std::vector<std::uint64_t> words = SortedUniqueWords(std::move(runs));
            ASSERT_EQ(words, std::vector<std::uint64_t>(expected.begin(), expected.end()))
                << run_count << " runs of about " << words_per_run;
        }
    }
}

TEST(DigitLines, RadixSortWithScratchOfItsOwn) {
    std::mt19937_64 rng(5);
    std::vector<std::uint64_t> keys(5000);
    for (std::uint64_t& k : keys) k = rng() >> (rng() % 40);
    std::vector<std::uint64_t> expected = keys;
    std::sort(expected.begin(), expected.end());
    std::vector<std::uint64_t> scratch(keys.size() + 3, 7);
    RadixSort(keys, scratch);
    EXPECT_EQ(keys, expected);
}

}  // namespace
}  // namespace haojian::sorting
