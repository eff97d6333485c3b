#include "core/table/number_cleaning.h"

#include <gtest/gtest.h>

#include "core/text/gbk.h"

namespace haojian {
namespace {

using Kind = CleanedNumber::Kind;

struct Case {
    const char* entry;  // UTF-8, converted to GBK as entries come
    Kind kind;
    const char* number;  // the number looked up (the entry itself when none is found)
};

TEST(NumberCleaning, TakesTheNumberOutOfWhatPeopleType) {
    const Case cases[] = {
        {"13800138000", Kind::kUnchanged, "13800138000"},
        {"+86 138-0013-8000", Kind::kCleaned, "13800138000"},
        {"0086 13800138000", Kind::kCleaned, "13800138000"},
        {"8613800138000", Kind::kCleaned, "13800138000"},
        {"(138) 0013 8000", Kind::kCleaned, "13800138000"},
        {"138.0013.8000/", Kind::kCleaned, "13800138000"},
        // Full-width digits and separators, the ideographic space.
        {"（１３８）００１３　８０００", Kind::kCleaned, "13800138000"},
        {"＋８６－１３８００１３８０００", Kind::kCleaned, "13800138000"},
        // Inside other text: the first run that makes a number.
        {"电话:13800138000,备用13912345678", Kind::kCleaned, "13800138000"},
        {"2024-01-05 13912345678", Kind::kCleaned, "13912345678"},
        // Two numbers typed one after the other: the first, never the two run together.
        {"13800138000 13912345678", Kind::kCleaned, "13800138000"},
        {" 13800138000", Kind::kCleaned, "13800138000"},
        // No number: a longer run is not cut, nor is a number that does not start with 1.
        {"440101138001380001", Kind::kNoNumber, "440101138001380001"},
        {"23800138000", Kind::kNoNumber, "23800138000"},
        {"1380013800", Kind::kNoNumber, "1380013800"},
        {"无", Kind::kNoNumber, "无"},
        {"", Kind::kNoNumber, ""},
        {"+1 13800138000x", Kind::kCleaned, "13800138000"},
    };
    for (const Case& c : cases) {
        const CleanedNumber cleaned = CleanNumber(GbkFromUtf8(c.entry));
        EXPECT_EQ(cleaned.kind, c.kind) << c.entry;
        EXPECT_EQ(Utf8FromGbk(cleaned.number), c.number) << c.entry;
    }
}

}  // namespace
}  // namespace haojian
