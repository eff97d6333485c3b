// GBK conversion: the fixed texts, and bytes that survive a round trip whatever they are.
#include "core/text/gbk.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/text/fixed_texts.h"

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

}  // namespace
}  // namespace haojian
