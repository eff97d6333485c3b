// What a user picks from before a table is read: the sheets offered, the columns' candidates,
// and the names that make a second read take the same sheet and column.
#include "core/table/table_preview.h"

#include <gtest/gtest.h>

#include "core/files/file_system.h"
#include "core/table/column_choice.h"
#include "core/table/table_reader.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

const std::string kTables = HAOJIAN_TABLES_DIR;

TableRow Row(std::vector<std::string> cells, std::uint64_t number) {
    return {std::move(cells), number, 0, false};
}

// Whatever the header cells say, the name given makes ChooseColumn take that column.
TEST(ColumnAskedForTest, ANameThatNoHeaderCellTakesFirst) {
    const std::vector<std::vector<std::string>> headers = {{"name", "phone", "remark"},
                                                           {"2", "phone", "B"},
                                                           {"2", "B", "x"},
                                                           {"3", "C", "x"},
                                                           {"1", "2", "3"},
                                                           {"A", "B", "C"}};
    for (const auto& header : headers) {
        const std::vector<std::vector<std::string>> rows = {
            header, {"13800138000", "13900139000", "13700137000"}};
        for (std::size_t column = 0; column < 3; ++column) {
            const std::string asked = ColumnAskedFor(header, column);
            std::string why;
            const auto choice = ChooseColumn(rows, asked, why);
            ASSERT_TRUE(choice) << why;
            EXPECT_EQ(choice->column, column)
                << header[0] << header[1] << header[2] << " " << asked;
        }
    }
}

TEST(ColumnCandidatesTest, HeaderFirstValuesAndNumbersPerColumn) {
    const std::vector<TableRow> first = {
        Row({"姓名", "手机", "备注"}, 1), Row({"a", "13800138000", "+86 139 0013 9000"}, 2),
        Row({"b", "13800138001"}, 3), Row({"c", "", "无"}, 4), Row({"d", "13800138002", ""}, 5)};
    const auto columns = ColumnCandidates(first);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_TRUE(columns[0].header_row);
    EXPECT_EQ(columns[1].header, "手机");
    EXPECT_EQ(columns[1].first_values,
              (std::vector<std::string>{"13800138000", "13800138001", "13800138002"}));
    EXPECT_EQ(columns[1].numbers, 3u);
    EXPECT_EQ(columns[1].rows, 4u);
    EXPECT_EQ(columns[2].numbers, 1u);
    EXPECT_EQ(columns[0].numbers, 0u);
    // A first row that holds a number in a column is no header there.
    const auto bare = ColumnCandidates({Row({"13800138000"}, 1), Row({"13800138001"}, 2)});
    EXPECT_FALSE(bare[0].header_row);
    EXPECT_EQ(bare[0].rows, 2u);
}

TEST(VisibleSheetsTest, HiddenSheetsLeftOutAndEachReadAgainByItsName) {
    FileSystem& fs = RealFileSystem();
    const std::string book = kTables + "openpyxl.xlsx";
    EXPECT_EQ(DetectFileFormat(fs, book).kind, DetectedFormat::Kind::kZip);
    EXPECT_EQ(DetectFileFormat(fs, kTables + "gbk.csv").kind, DetectedFormat::Kind::kDelimited);
    const auto sheets = VisibleSheets(fs, book);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(Utf8FromGbk(sheets[0].name), "客户");
    EXPECT_EQ(Utf8FromGbk(sheets[1].name), "第三");
    for (const SheetEntry& sheet : sheets) {
        TableOptions options;
        options.sheet = sheet.asked;
        EXPECT_EQ(TableReader::Open(fs, book, options)->layout().sheet, sheet.name);
    }
}

}  // namespace
}  // namespace haojian
