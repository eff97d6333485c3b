// Exports written as workbooks and CSV, the whole rows of an imported table, and the statistics
// saved as a workbook: what the window asks, writes and reports.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "core/export/export.h"
#include "core/export/statistics_csv.h"
#include "core/files/file_system.h"
#include "core/table/table_reader.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"
#include "tests/window/window_fakes.h"
#include "window/main_window_texts.h"
#include "window/statistics_save.h"
#include "window/window_commands.h"
#include "window/window_texts.h"

namespace haojian::testing {
namespace {

// 138 0010 -> 江苏 南京 移动, 189 0000 -> 北京 北京 电信.
constexpr char kDatabase[] = "138001005011\r\n189000001002\r\n";
const std::string kJiangsu = "\xBD\xAD\xCB\xD5";
const std::string kNanjing = "\xC4\xCF\xBE\xA9";
const std::string kBeijing = "\xB1\xB1\xBE\xA9";
const std::string kMobile = "\xD2\xC6\xB6\xAF";
const std::string kTelecom = "\xB5\xE7\xD0\xC5";

using Cells = std::vector<std::vector<std::string>>;

// Every row of a table file as the core's reader gives it, the header first.
Cells ReadCells(const std::string& path, TableOptions options = {}) {
    Cells rows;
    const auto reader = TableReader::Open(RealFileSystem(), path, options);
    reader->ReadRows([&](const TableRow& row) { rows.push_back(row.cells); });
    return rows;
}

class TableExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("kelvaronset.dat", kDatabase);
        view.FilterAny(text::kLayoutNumberCity);
        commands =
            std::make_unique<WindowCommands>(static_cast<WindowView&>(view), dialogs, work, waker,
                                             RealFileSystem(), WindowPlaces{dir.path(), {}});
        commands->LoadDatabase();
        dialogs.file_answers.push_back(
            {dir.Write("numbers.txt", "13800101234\r\n18900001111\r\n")});
        commands->Import();
        commands->Query();
        PumpUntilWorkerEnds(commands->Run(), waker);
        commands->TimerTick();
        dialogs.choices.clear();
    }

    // Exports to the file named name in the folder; gives its path.
    std::string Export(const std::string& name) {
        const std::string path = dir.path() + name;
        dialogs.file_answers.push_back({path});
        commands->Export();
        work.Finish();
        return path;
    }

    std::vector<std::u16string> Errors() const {
        std::vector<std::u16string> texts;
        for (const auto& box : dialogs.boxes)
            if (box.kind == BoxKind::Error) texts.push_back(box.text);
        return texts;
    }

    TempDir dir;
    FakeWindowView view;
    FakeWindowDialogs dialogs;
    HeldWork work;
    FakeWaker waker;
    std::unique_ptr<WindowCommands> commands;
};

TEST_F(TableExportTest, TheNameSaysWorkbookCsvOrTheTextOfOld) {
    const std::string workbook = Export("out.xlsx");
    // The dialog keeps its text filters first and its proposed name.
    ASSERT_EQ(dialogs.choices.size(), 1u);
    EXPECT_EQ(dialogs.choices[0].filters, FileChoice::Filters::Export);
    EXPECT_EQ(dialogs.choices[0].file_name, u"任意城市.txt");
    EXPECT_EQ(dialogs.choices[0].default_suffix, u"txt");
    EXPECT_EQ(ReadCells(workbook, {.sheet = {}, .column = "1"}),
              (Cells{{std::string(text::kLayoutNumber), std::string(text::kColumnCity)},
                     {"138001012**", kNanjing},
                     {"189000011**", kBeijing}}));
    EXPECT_EQ(view.panels[kPanelStatus], ExportedStatusText(2));

    view.filters[FilterBox::Province] = kBeijing;
    view.filters[FilterBox::Layout] = std::string(text::kLayoutNumberProvinceCard);
    EXPECT_EQ(ReadFileBytes(Export("out.csv")),
              std::string(text::kLayoutNumber) + "," + std::string(text::kColumnProvince) + "," +
                  std::string(text::kColumnCard) + "\r\n" + "189000011**," + kBeijing + "," +
                  kTelecom + "\r\n");
    EXPECT_EQ(view.panels[kPanelStatus], ExportedStatusText(1));
    EXPECT_EQ(ReadFileBytes(Export("out.txt")),
              "189000011** " + kBeijing + " " + kTelecom + "\r\n");
    EXPECT_TRUE(Errors().empty());
}

TEST_F(TableExportTest, WholeRowsOfTheImportedTable) {
    view.filters[FilterBox::Layout] = std::string(text::kLayoutWholeRows);
    // A text list's rows have no table behind them: refused before any dialog.
    commands->Export();
    EXPECT_TRUE(dialogs.choices.empty());
    EXPECT_FALSE(work.Busy());
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], Utf16FromGbk(text::kRefuseWholeRowsWithoutTable) + u".");

    const std::string name = "\xD0\xD5\xC3\xFB";  // 姓名
    const std::string table = dir.Write(
        "clients.csv", name + ",phone,note\r\nA,138-0010-1234,x\r\n,,\r\nB,18900001111,\r\n");
    commands->SetImportedTableSource(ImportedTable{table, {}, true});
    const std::string workbook = Export("rows.xlsx");
    ASSERT_EQ(dialogs.choices.size(), 1u);
    EXPECT_EQ(dialogs.choices[0].filters, FileChoice::Filters::Tables);
    EXPECT_EQ(dialogs.choices[0].file_name, u"任意城市.xlsx");
    const std::string province(text::kColumnProvince), city(text::kColumnCity),
        card(text::kColumnCard);
    // Every row as it was, unmasked, with its look-up; the empty row too.
    EXPECT_EQ(ReadCells(workbook), (Cells{{name, "phone", "note", province, city, card},
                                          {"A", "138-0010-1234", "x", kJiangsu, kNanjing, kMobile},
                                          {"", "", "", "", "", ""},
                                          {"B", "18900001111", "", kBeijing, kBeijing, kTelecom}}));
    EXPECT_EQ(view.panels[kPanelStatus], ExportedStatusText(3));

    // The filters choose the rows; a text file holds them tab-separated.
    view.filters[FilterBox::Province] = kJiangsu;
    EXPECT_EQ(ReadFileBytes(Export("rows.txt")),
              name + "\tphone\tnote\t" + province + "\t" + city + "\t" + card + "\r\n" +
                  "A\t138-0010-1234\tx\t" + kJiangsu + "\t" + kNanjing + "\t" + kMobile + "\r\n");
    EXPECT_EQ(view.panels[kPanelStatus], ExportedStatusText(1));

    // The table replaced by an old .xls workbook, then gone: worded as a read of it, nothing
    // written, the status as it was.
    dir.Write("clients.csv",
              std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
    const std::string status = view.panels[kPanelStatus];
    const std::string out = Export("gone.csv");
    std::remove(table.c_str());
    Export("gone.csv");
    ASSERT_EQ(Errors().size(), 3u);
    // Both name the table; the one that is gone as an import's failure to open it.
    const std::u16string quoted = u"\"" + Utf16FromGbk(GbkFromUtf8(table)) + u"\"";
    EXPECT_NE(Errors()[1].find(quoted), std::u16string::npos);
    EXPECT_EQ(Errors()[2].rfind(u"Cannot open file " + quoted + u". ", 0), 0u);
    EXPECT_EQ(ReadFileBytes(out), "<missing>");
    EXPECT_EQ(view.panels[kPanelStatus], status);
}

TEST(StatisticsSave, WorkbookWithItsTablesAndChartOrTheFailureBox) {
    TempDir dir;
    RowStatistics stats;
    stats.provinces = {{{kJiangsu, 2}, {kBeijing, 1}}, 3};
    stats.cities = {{{kNanjing, 2}, {kBeijing, 1}}, 3};
    stats.card_types = {{{kMobile, 2}, {kTelecom, 1}}, 3};
    FakeWindowDialogs dialogs;
    FaultyFileSystem files;
    SaveStatisticsFile(StatisticsFile::Workbook, stats, dialogs, files);  // cancelled
    ASSERT_EQ(dialogs.choices.size(), 1u);
    EXPECT_EQ(dialogs.choices[0].title, window_text::kSaveCsvTitle);
    EXPECT_EQ(dialogs.choices[0].file_name, u"统计.xlsx");
    EXPECT_EQ(dialogs.choices[0].filters, FileChoice::Filters::Workbook);

    const std::string path = dir.Write("stats.xlsx", "old");
    dialogs.file_answers.push_back({path});
    files.FailAt(FaultyFileSystem::Op::Write, files.Calls(FaultyFileSystem::Op::Write) + 1, ENOSPC);
    SaveStatisticsFile(StatisticsFile::Workbook, stats, dialogs, files);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, u"I/O error 28.");
    EXPECT_EQ(ReadFileBytes(path), "old");

    dialogs.file_answers.push_back({path});
    SaveStatisticsFile(StatisticsFile::Workbook, stats, dialogs, files);
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    // A zip names its parts unpacked: the chart is there.
    EXPECT_NE(ReadFileBytes(path).find("xl/charts/chart1.xml"), std::string::npos);
    // The card types' sheet: its header, then each name with its count (the share is a number
    // shown in per cent).
    const Cells cards = ReadCells(path, {.sheet = "3", .column = "1"});
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0], (std::vector<std::string>{std::string(text::kColumnCard),
                                                  std::string(text::kColumnCount),
                                                  std::string(text::kColumnShare)}));
    EXPECT_EQ(cards[1][0], kMobile);
    EXPECT_EQ(cards[1][1], "2");
    EXPECT_EQ(cards[2][0], kTelecom);
}

}  // namespace
}  // namespace haojian::testing
