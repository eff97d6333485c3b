// Telling tables from text lists, and reading CSV text cut into reads of any size.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/table/delimited_rows.h"
#include "core/table/format_detection.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

using Kind = DetectedFormat::Kind;

TEST(FormatDetection, DecidesByContent) {
    EXPECT_EQ(DetectFormat("PK\x03\x04rest", true, "list.txt").kind, Kind::kZip);
    const std::string compound = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    EXPECT_EQ(DetectFormat(compound + "Workbook", true, "a.xlsx").kind, Kind::kCompoundFile);
    EXPECT_FALSE(DetectFormat(compound + "Workbook", true, "a.xlsx").encrypted);
    const std::string info("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
    EXPECT_TRUE(DetectFormat(compound + "xx" + info, true, "a.xlsx").encrypted);

    // The separator that splits every row alike, quotes and all.
    const DetectedFormat csv = DetectFormat("a,\"b,c\",d\r\n1,2,\"x\ny\"\r\n3,4,5\r\n", true, "t");
    EXPECT_EQ(csv.kind, Kind::kDelimited);
    EXPECT_EQ(csv.separator, ',');
    EXPECT_EQ(DetectFormat("a\tb,c\n1\t2\n", true, "t").separator, '\t');
    EXPECT_EQ(DetectFormat("a;b\n1;2\n", true, "t").separator, ';');
    // A last row cut off by the end of what was looked at does not count.
    EXPECT_EQ(DetectFormat("a,b\n1,2\n3", false, "t").kind, Kind::kDelimited);

    // Text lists: one field a row, or rows that split unevenly.
    EXPECT_EQ(DetectFormat("13800138000\n13912345678\n", true, "list").kind, Kind::kTextList);
    EXPECT_EQ(DetectFormat("13800138000\n139,123\n", true, "list").kind, Kind::kTextList);
    // ...unless the name says CSV: a table of one column.
    EXPECT_EQ(DetectFormat("手机\n13800138000\n", true, "numbers.CSV").kind, Kind::kDelimited);

    const DetectedFormat utf8 = DetectFormat("\xE6\x89\x8B\xE6\x9C\xBA,b\n1,2\n", true, "t");
    EXPECT_TRUE(utf8.unmarked_utf8);
    EXPECT_FALSE(DetectFormat(GbkFromUtf8("手机,b\n1,2\n"), true, "t").unmarked_utf8);
}

// A file that gives its bytes a few at a time, as pipes and slow disks do.
class TrickleFile final : public InputFile {
public:
    TrickleFile(std::string bytes, std::size_t step) : bytes_(std::move(bytes)), step_(step) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, step_, bytes_.size() - at_});
        std::copy_n(bytes_.data() + at_, n, buffer);
        at_ += n;
        return n;
    }
    std::uint64_t Size() const override { return bytes_.size(); }

private:
    std::string bytes_;
    std::size_t step_;
    std::size_t at_ = 0;
};

std::vector<std::vector<std::string>> ReadAll(const std::string& bytes, std::size_t head_size,
                                              std::size_t step) {
    const DetectedFormat format =
        DetectFormat(bytes.substr(0, head_size), head_size >= bytes.size(), "t.csv");
    DelimitedRows rows(
        std::make_unique<TrickleFile>(bytes.substr(std::min(head_size, bytes.size())), step),
        "t.csv", format, bytes.substr(0, head_size));
    std::vector<std::vector<std::string>> all;
    std::vector<std::string> cells;
    std::uint64_t number = 0;
    while (rows.Next(cells, number)) {
        EXPECT_EQ(number, all.size() + 1);
        all.push_back(cells);
    }
    return all;
}

TEST(DelimitedRows, QuotedFieldsSurviveAnyCut) {
    const std::string text =
        "姓名,手机,备注\r\n"
        "\"张,三\",13800138000,\"说 \"\"你好\"\"\"\r\n"
        "李四,13912345678,\"两行\r\n备注\"\r\n"
        ",,\n"
        "末行,15000000000,";
    const std::vector<std::vector<std::string>> expected = {
        {"姓名", "手机", "备注"},
        {"张,三", "13800138000", "说 \"你好\""},
        {"李四", "13912345678", "两行\r\n备注"},
        {"", "", ""},
        {"末行", "15000000000", ""},
    };
    for (const auto& [encoding, bytes] :
         {std::pair<std::string, std::string>{"gbk", GbkFromUtf8(text)},
          {"utf-8 bom", "\xEF\xBB\xBF" + text}}) {
        for (const std::size_t head : {std::size_t(3), std::size_t(20), std::size_t(1000)}) {
            for (const std::size_t step : {std::size_t(1), std::size_t(7), std::size_t(4096)}) {
                const auto rows = ReadAll(bytes, head, step);
                ASSERT_EQ(rows.size(), expected.size()) << encoding << " " << head << " " << step;
                for (std::size_t r = 0; r < rows.size(); ++r) {
                    ASSERT_EQ(rows[r].size(), expected[r].size());
                    for (std::size_t c = 0; c < rows[r].size(); ++c) {
                        EXPECT_EQ(Utf8FromGbk(rows[r][c]), expected[r][c])
                            << encoding << " row " << r << " head " << head << " step " << step;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace haojian
