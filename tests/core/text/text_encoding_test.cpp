// Telling UTF-8, GBK and UTF-16 texts apart.
#include "core/text/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text/gbk.h"

namespace haojian {
namespace {

TEST(TextEncoding, Utf8IsTellingFromGbk) {
    for (const std::string text : {"", "abc", "南京", "\xF0\x9F\x98\x80", "\xEF\xBB\xBF"}) {
        EXPECT_TRUE(IsValidUtf8(text)) << text;
    }
    for (const std::string text : {
             "\xC4\xCF\xBE\xA9",  // 南京 in GBK
             "\xC0\xAF",          // an overlong "/"
             "\xED\xA0\x80",      // a surrogate
             "\xF4\x90\x80\x80",  // past U+10FFFF
             "\xE5\x8D",          // cut short
             "\x80",
         }) {
        EXPECT_FALSE(IsValidUtf8(text)) << text;
    }
    EXPECT_TRUE(IsValidGbk("\xC4\xCF\xBE\xA9"));
    EXPECT_TRUE(IsValidGbk("abc"));
    EXPECT_FALSE(IsValidGbk("\xC4"));      // a lead byte alone
    EXPECT_FALSE(IsValidGbk("\xFF\xFF"));  // no GBK character
}

TEST(TextEncoding, ByteOrderMarksAndUtf16) {
    EXPECT_EQ(FindByteOrderMark("\xEF\xBB\xBF"
                                "1"),
              ByteOrderMark::kUtf8);
    EXPECT_EQ(FindByteOrderMark("\xFF\xFE"
                                "1"),
              ByteOrderMark::kUtf16LittleEndian);
    EXPECT_EQ(FindByteOrderMark("\xFE\xFF"
                                "1"),
              ByteOrderMark::kUtf16BigEndian);
    EXPECT_EQ(FindByteOrderMark("\xEF\xBB"), ByteOrderMark::kNone);
    EXPECT_EQ(Utf16FromBytes(std::string("1\0\x57\x53", 4), false), u"1南");
    EXPECT_EQ(Utf16FromBytes(std::string("\0"
                                         "1\x53",
                                         3),
                             true),
              u"1\uFFFD");
    EXPECT_EQ(Utf8FromUtf16(u"南\xD800"), "南\uFFFD");
}

// UTF-8 to UTF-16 and back, with each maximal part of an ill-formed sequence one U+FFFD, as the
// Unicode standard recommends (and as ICU, which did this before, counts them).
TEST(TextEncoding, Utf8AndUtf16RoundTripAndIllFormedPartsBecomeOneReplacementEach) {
    const std::string text = "a南\u00E9\U0001F600z";
    EXPECT_EQ(Utf16FromUtf8(text), u"a南\u00E9\U0001F600z");
    EXPECT_EQ(Utf8FromUtf16(Utf16FromUtf8(text)), text);
    EXPECT_EQ(Utf16FromUtf8("\xE4\xBD"), u"\uFFFD");                  // cut short: one part
    EXPECT_EQ(Utf16FromUtf8("\xE0\x80x"), u"\uFFFD\uFFFDx");          // overlong: no part
    EXPECT_EQ(Utf16FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // a surrogate
    EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf16FromUtf8("\xC3"), u"\uFFFD");
    EXPECT_EQ(Utf16FromUtf8("\xFF\xC3\xA9"), u"\uFFFD\u00E9");
    // Code point order puts a surrogate pair after the units above it.
    EXPECT_LT(CompareInCodePointOrder(u"\uFF01", u"\U0001F600"), 0);
    EXPECT_GT(CompareInCodePointOrder(u"ab", u"a"), 0);
    EXPECT_EQ(CompareInCodePointOrder(u"ab", u"ab"), 0);
}

}  // namespace
}  // namespace haojian
