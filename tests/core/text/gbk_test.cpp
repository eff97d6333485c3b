// GBK conversion: the fixed texts, and bytes that survive a round trip whatever they are.
#include "core/text/gbk.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/text/fixed_texts.h"
#include "core/text/text_encoding.h"

namespace haojian {
namespace {

TEST(Gbk, FixedTextsDecodeToTheirCharacters) {
    EXPECT_EQ(Utf8FromGbk(text::kUnknown), "未知");
    EXPECT_EQ(Utf8FromGbk(text::kMergedPrefix), "文件合并整理完毕！共计：");
    EXPECT_EQ(GbkFromUtf8("手机号码+城市+卡类"), text::kLayoutNumberCityCard);
    EXPECT_EQ(GbkFromUtf8("\xFF"), "?");  // invalid UTF-8
    EXPECT_EQ(GbkFromUtf8("😀"), "?");     // no GBK form: one character, one "?"
    std::size_t unmapped = 0;
    EXPECT_EQ(GbkFromUtf16(u"a😀\xD800"
                           u"z",
                           unmapped),
              "a??z");  // a pair, then a lone half
    EXPECT_EQ(unmapped, 2u);
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

TEST(Gbk, Utf8GoesTheSameWayAsThroughUtf16) {
    // The UTF-8 conversions skip the UTF-16 step; they must give exactly what it gives.
    const auto through_utf16 = [](std::string_view utf8) {
        std::u16string text = Utf16FromUtf8(utf8);
        for (char16_t& c : text) c = c == 0xFFFD ? u'?' : c;
        return GbkFromUtf16(text);
    };
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::string utf8 = Utf8FromUtf16(std::u16string(1, char16_t(c)));
        ASSERT_EQ(GbkFromUtf8(utf8), through_utf16(utf8)) << std::hex << unsigned(c);
        const std::string gbk = GbkFromUtf8(utf8);
        ASSERT_EQ(Utf8FromGbk(gbk), Utf8FromUtf16(Utf16FromGbk(gbk))) << std::hex << unsigned(c);
    }
    // Broken sequences, surrogates written as UTF-8, characters past the plane, among others.
    std::mt19937 rng(11);
    const std::string pieces[] = {"a",        "\xE4\xB8\xAD",     "\xED\xA0\x80", "\xE0\x80\x80",
                                  "\xC0\xAF", "\xF0\x9F\x98\x80", "\xE4\xB8",     "\x80",
                                  "\xC2\xA0", "\xEF\xBF\xBD",     "\xFF"};
    for (int round = 0; round < 3000; ++round) {
        std::string utf8;
        for (int n = int(rng() % 6); n > 0; --n) utf8 += pieces[rng() % std::size(pieces)];
        ASSERT_EQ(GbkFromUtf8(utf8), through_utf16(utf8)) << round;
        std::string bytes(rng() % 12, '\0');
        for (char& c : bytes) c = char(rng() % 4 == 0 ? rng() % 128 : 0x80 + rng() % 128);
        ASSERT_EQ(Utf8FromGbk(bytes), Utf8FromUtf16(Utf16FromGbk(bytes)));
    }
}

}  // namespace
}  // namespace haojian
