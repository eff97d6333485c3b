// Workbooks as LibreOffice reads them back: exactly the cells written, sheets continued when
// full, and the statistics with their shares. Skipped where soffice is not installed.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/export/row_statistics.h"
#include "core/export/split_export.h"
#include "core/export/statistics_workbook.h"
#include "core/table/workbook_writer.h"
#include "core/text/gbk.h"
#include "tests/support/office_sheets.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

TEST(WorkbookRoundTrip, CellsSplitSheetsAndStatistics) {
    testing::TempDir dir;
    // Rows of one value over more than a sheet's rows (3 here, the header's included) go on in
    // "广东 (2)", each part with the header; cells hold what CSV and XML need care with.
    const std::string split = dir.path() + "split.xlsx";
    {
        SplitWorkbookTarget target(RealFileSystem(), split, {"A", "B"}, 3);
        const std::string gd = GbkFromUtf8("广东");
        const std::string bj = GbkFromUtf8("北京");
        const std::array<std::array<std::string, 2>, 6> rows = {{
            {"13800138000", "a,\"b\""},
            {"<&>", "x_x0041_y"},
            {"tab\there",
             "ctl\x01"
             "z"},
            {" 0138", ""},
            {"1", GbkFromUtf8("长 文")},
            {"00123", "1.5E+10"},
        }};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::array<std::string_view, 2> cells = {rows[i][0], rows[i][1]};
            target.Add(i == 3 ? bj : gd, cells);
        }
        target.Commit();
    }
    // A plain table's header begins each further sheet too.
    const std::string plain = dir.path() + "plain.xlsx";
    {
        WorkbookWriter book(RealFileSystem(), plain, 2);
        const std::array<std::string_view, 1> header = {"N"};
        book.AddHeader(header);
        for (const std::string_view row : {"1", "2"}) {
            book.AddRow(std::span(&row, 1));
        }
        book.Commit();
    }
    const std::string stats_path = dir.path() + "stats.xlsx";
    RowStatistics stats;
    stats.provinces = {{{GbkFromUtf8("江苏"), 2}, {GbkFromUtf8("未知"), 1}}, 3};
    stats.cities = {{{GbkFromUtf8("南京"), 3}}, 3};
    SaveStatisticsWorkbook(stats, stats_path);

    const auto sheets = testing::OfficeSheets(split);
    if (!sheets) GTEST_SKIP() << "soffice is not installed";
    const std::map<std::string, std::string> expected = {
        {"广东", "A,B\n13800138000,\"a,\"\"b\"\"\"\n<&>,x_x0041_y\n"},
        {"北京", "A,B\n 0138,\n"},
        {"广东 (2)", "A,B\ntab\there,ctl\x01z\n1,长 文\n"},
        {"广东 (3)", "A,B\n00123,1.5E+10\n"},
    };
    EXPECT_EQ(*sheets, expected);

    const std::map<std::string, std::string> expected_plain = {{"Sheet1", "N\n1\n"},
                                                               {"Sheet1 (2)", "N\n2\n"}};
    EXPECT_EQ(testing::OfficeSheets(plain), expected_plain);

    const auto stat_sheets = testing::OfficeSheets(stats_path);
    ASSERT_TRUE(stat_sheets);
    const std::map<std::string, std::string> expected_stats = {
        {"省份", "省份,数量,占比\n江苏,2,66.67%\n未知,1,33.33%\n"},
        {"城市", "城市,数量,占比\n南京,3,100.00%\n"},
        {"卡类", "卡类,数量,占比\n"},
    };
    EXPECT_EQ(*stat_sheets, expected_stats);
    // The chart is the workbook's own, drawn by the spreadsheet program.
    EXPECT_NE(testing::ReadFileBytes(stats_path).find("xl/charts/chart1.xml"), std::string::npos);
}

}  // namespace
}  // namespace haojian
