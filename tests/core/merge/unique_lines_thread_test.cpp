// Sorting distinct lines on several threads gives what one thread gives, whatever the split
// of the text, the budget for keys and the line ends at the cuts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/text/gbk.h"
#include "core/text/line_list.h"
#include "tests/support/sorted_lines.h"

namespace haojian {
namespace {

using testing::RandomLines;
using testing::ReferenceSortedUnique;
using testing::SortedUnique;

TEST(SortedUniqueLinesThreads, AnyNumberOfThreadsGivesThePlainRule) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 6; ++round) {
        const std::string text = RandomLines(rng, 3000 + int(rng() % 3000));
        const std::string expected = ReferenceSortedUnique(text);
        for (const unsigned threads : {2u, 3u}) {
            // Whole keys kept; none kept; kept until they outgrow the budget part way.
            for (const std::size_t budget : {std::size_t(0), std::size_t(1), std::size_t(6000)}) {
                ASSERT_EQ(SortedUnique(text, budget, threads), expected)
                    << "round " << round << ", " << threads << " threads, budget " << budget;
            }
        }
    }
}

TEST(SortedUniqueLinesThreads, ManyDigitLinesSortedInPartsGiveThePlainRule) {
    // Enough digit lines for every thread to sort a part of its own, collected over several
    // rounds, repeats spread over the parts, every length from the empty line to 16 digits, and
    // a few other lines among them.
    std::mt19937 rng(16);
    std::string text;
    for (int i = 0; i < 700000; ++i) {
        const std::size_t length = rng() % 17;
        for (std::size_t j = 0; j < length; ++j) text += char('0' + rng() % (i % 2 ? 10 : 3));
        if (i % 1000 == 0) text += "x";
        text += i % 7 == 0 ? "\r\n" : "\n";
    }
    const std::string expected = ReferenceSortedUnique(text);
    for (const unsigned threads : {1u, 2u, 3u}) {
        EXPECT_EQ(SortedUnique(text, 0, threads), expected) << threads << " threads";
    }
}

TEST(SortedUniqueLinesThreads, FirstOccurrenceKeptAcrossRounds) {
    // More than one round of collecting on two threads; a line's later variants stand in
    // other rounds and pieces than its first.
    const std::string names[] = {"Zhang", GbkFromUtf8("王Wei"), "Li", GbkFromUtf8("Σσ")};
    const std::string later[] = {"ZHANG", GbkFromUtf8("王WEI"), "lI", GbkFromUtf8("ΣΣ")};
    std::string text;
    for (int i = 0; text.size() < (std::size_t(3) << 20); ++i) {
        const std::string& name = i < 100000 ? names[i % 4] : later[i % 4];
        text +=
            name + std::to_string(i % 50000) + (i % 3 == 0 ? "\r\n" : (i % 3 == 1 ? "\n" : "\r"));
    }
    const std::string one = SortedUnique(text, 0, 1);
    EXPECT_EQ(LineList::FromBytes(one).size(), 50000u);
    EXPECT_EQ(one.find("ZHANG"), std::string::npos);
    EXPECT_EQ(SortedUnique(text, 0, 2), one);
}

}  // namespace
}  // namespace haojian
