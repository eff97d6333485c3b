#include "core/table/cell_text.h"

#include <gtest/gtest.h>

#include "core/text/gbk.h"

namespace haojian {
namespace {

TEST(CellText, NumbersAreWrittenInFullDigits) {
    const std::pair<const char*, const char*> cases[] = {
        {"13800138000", "13800138000"},
        {"1.3800138E10", "13800138000"},
        {"1.3800138e+10", "13800138000"},
        {"13800138000.0", "13800138000"},
        {"42.50", "42.5"},
        {"-1.5E-3", "-0.0015"},
        {"0", "0"},
        {"-0.0", "0"},
        {"1E2", "100"},
        {"12abc", "12abc"},
        {"007", "7"},
        {"", ""},
    };
    for (const auto& [stored, shown] : cases) EXPECT_EQ(NumberText(stored), shown) << stored;
}

TEST(CellText, DatesAsASpreadsheetShowsThem) {
    EXPECT_EQ(DateText(45352, false), "2024-03-01");
    EXPECT_EQ(DateText(1, false), "1900-01-01");
    EXPECT_EQ(DateText(60, false), "1900-02-29");  // the day the 1900 system counts
    EXPECT_EQ(DateText(61, false), "1900-03-01");
    EXPECT_EQ(DateText(45352.75, false), "2024-03-01 18:00:00");
    EXPECT_EQ(DateText(0.5, false), "12:00:00");
    EXPECT_EQ(DateText(0, true), "1904-01-01");
}

TEST(CellText, StringsBecomeGbk) {
    EXPECT_EQ(Utf8FromGbk(CellTextFromUtf8("手机")), "手机");
    // A no-break space, which GBK lacks, becomes a space; the workbook's escape of CR is read.
    EXPECT_EQ(CellTextFromUtf8("138\xC2\xA0"
                               "0013"),
              "138 0013");
    EXPECT_EQ(CellTextFromUtf8("a_x000D_b"), "a\rb");
    EXPECT_EQ(CellTextFromUtf8("_x005F_x000D_"), "_x000D_");
}

}  // namespace
}  // namespace haojian
