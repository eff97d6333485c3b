// The line rule: how a text is split into lines.
#include "core/text/line_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/reference_lookup.h"

namespace haojian {
namespace {

std::vector<std::string> Lines(std::string_view text) {
    const LineList list = LineList::FromBytes(std::string(text));
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.size(); ++i) out.emplace_back(list[i]);
    return out;
}

using V = std::vector<std::string>;

TEST(LineRule, LineEndsOfEveryKindGiveTheSameLines) {
    EXPECT_EQ(Lines("a\r\nb\r\nc\r\n"), (V{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\nb\nc\n"), (V{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\rb\rc\r"), (V{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\nb\nc"), (V{"a", "b", "c"}));
}

TEST(LineRule, EmptyLinesStayAndLfCrIsTwoEnds) {
    EXPECT_EQ(Lines("A\r\n\r\nB"), (V{"A", "", "B"}));
    EXPECT_EQ(Lines("A\n\rB"), (V{"A", "", "B"}));
    EXPECT_EQ(Lines("A\n\r\nB"), (V{"A", "", "B"}));
    EXPECT_EQ(Lines("\n"), (V{""}));
    EXPECT_EQ(Lines("\n\n"), (V{"", ""}));
    EXPECT_EQ(Lines(""), V{});
}

TEST(LineRule, NulEndsTheTextAndNothingIsTrimmed) {
    EXPECT_EQ(Lines(std::string("ab\ncd\0ef\ngh", 11)), (V{"ab", "cd"}));
    EXPECT_EQ(Lines(std::string("\0abc", 4)), V{});
    EXPECT_EQ(Lines(" 138 \t\n"), (V{" 138 \t"}));
    // A byte-order mark is not recognised: it stays at the start of the first line.
    EXPECT_EQ(Lines("\xEF\xBB\xBF"
                    "1380000\n"),
              (V{"\xEF\xBB\xBF"
                 "1380000"}));
}

TEST(LineRule, AgreesWithThePlainSplitterWhereverTheEndsFall) {
    // Ends before, on and after the edges of the blocks the search takes at once.
    std::mt19937 rng(7);
    const char alphabet[] = {'a', '\r', '\n', '\x8e', ' '};
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % 70, 'a');
        // Every other text has long lines: few ends among many letters.
        for (char& c : text) c = round % 2 ? alphabet[rng() % 5] : alphabet[rng() % 16 ? 0 : 2];
        std::vector<std::string> seen;
        ForEachLine(text, [&](std::string_view line) { seen.emplace_back(line); });
        ASSERT_EQ(seen, testing::ReferenceLines(text)) << ::testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace haojian
