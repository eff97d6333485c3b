// The text layer: the line rule, GBK conversion and the shared locale comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "collation.h"
#include "error.h"
#include "fixed_texts.h"
#include "gbk.h"
#include "line_list.h"

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
    EXPECT_EQ(Lines("\xEF\xBB\xBF" "1380000\n"), (V{"\xEF\xBB\xBF" "1380000"}));
}

TEST(Gbk, FixedTextsDecodeToTheirCharacters) {
    EXPECT_EQ(Utf8FromGbk(text::kUnknown), "未知");
    EXPECT_EQ(Utf8FromGbk(text::kMergedPrefix), "文件合并整理完毕！共计：");
    EXPECT_EQ(GbkFromUtf8("手机号码+城市+卡类"), text::kLayoutNumberCityCard);
    EXPECT_EQ(GbkFromUtf8("\xFF"), "?");       // invalid UTF-8
    EXPECT_EQ(GbkFromUtf8("😀"), "??");         // no GBK form
}

TEST(Gbk, EveryByteStringSurvivesARoundTrip) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(rng() % 12, '\0');
        for (char& c : bytes) c = char(rng() % 4 == 0 ? rng() % 128 : 0x80 + rng() % 128);
        EXPECT_EQ(GbkFromUtf16(Utf16FromGbk(bytes)), bytes);
    }
    // A lone lead byte and the undefined bytes decode to private-use code points of their own.
    EXPECT_EQ(Utf16FromGbk("\x81"), std::u16string(1, PrivateUseForByte(0x81)));
    EXPECT_EQ(Utf16FromGbk("\xFF"), std::u16string(1, PrivateUseForByte(0xFF)));
}

TEST(Collation, IgnoresLetterCaseAndNothingElse) {
    const LocaleCollation& c = DefaultCollation();
    EXPECT_TRUE(c.Equal("abc", "ABC"));
    EXPECT_TRUE(c.Equal(GbkFromUtf8("Ａｂ"), GbkFromUtf8("ａＢ")));  // full-width letters fold too
    EXPECT_FALSE(c.Equal(GbkFromUtf8("０５"), "05"));                  // width is not case
    EXPECT_FALSE(c.Equal("a\x01", "a"));                                // ignorables keep apart
    EXPECT_FALSE(c.Equal("\x81", "\x82"));                              // undecodable bytes too
    EXPECT_LT(c.Compare("", "0"), 0);
    EXPECT_LT(c.Compare("138", "1380"), 0);
    EXPECT_LT(c.Compare("1390", "14"), 0);
    EXPECT_GT(c.Compare("9", "10"), 0);  // by characters, not by value
}

TEST(Collation, SortKeysOrderAsCompare) {
    const LocaleCollation& c = DefaultCollation();
    std::vector<std::string> words = {"", "a", "A", "b", "ab", "Ab", "0", "9", "10", "a\x01",
                                      GbkFromUtf8("北京"), GbkFromUtf8("南京"), GbkFromUtf8("未知"),
                                      GbkFromUtf8("０５"), "05", "\x81", " x", "-x", "x-"};
    for (const auto& a : words) {
        for (const auto& b : words) {
            const int by_compare = c.Compare(a, b);
            const int by_key = c.SortKey(a).compare(c.SortKey(b));
            EXPECT_EQ(by_compare < 0, by_key < 0) << a << " / " << b;
            EXPECT_EQ(by_compare == 0, by_key == 0) << a << " / " << b;
        }
    }
}

TEST(ErrorBox, FullStopFollowsTheLastByte) {
    EXPECT_EQ(ErrorBoxText(text::kRefuseNoList), std::string(text::kRefuseNoList) + ".");
    EXPECT_EQ(ErrorBoxText("I/O error 28"), "I/O error 28.");
    EXPECT_EQ(ErrorBoxText("Stream read error."), "Stream read error.");
    EXPECT_EQ(ErrorBoxText("done!"), "done!");  // "!" sorts before "."
    EXPECT_EQ(ErrorBoxText(""), "");
}

}  // namespace
}  // namespace haojian
