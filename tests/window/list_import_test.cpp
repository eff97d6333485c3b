// Importing tables and cleaned text lists through the window's commands: the route a file
// takes, the sheet and column dialogs, the reading off the UI thread and what it reports.
#include "window/list_import.h"

#include <gtest/gtest.h>

#include "core/files/file_system.h"
#include "core/table/table_reader.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "tests/support/test_files.h"
#include "tests/window/window_fakes.h"
#include "window/window_commands.h"
#include "window/window_texts.h"

namespace haojian::testing {
namespace {

const std::string kTables = HAOJIAN_TABLES_DIR;

std::string Gbk(std::u16string_view text) {
    return GbkFromUtf16(text);
}

class ListImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("kelvaronset.dat", "138001005011\r\n");
        commands =
            std::make_unique<WindowCommands>(static_cast<WindowView&>(view), dialogs, work, waker,
                                             RealFileSystem(), WindowPlaces{dir.path(), {}});
        commands->LoadDatabase();
    }

    // Imports a text list at once, as the window always did.
    void ImportText(const std::string& bytes) {
        commands->ImportFile(dir.Write("numbers.txt", bytes));
    }

    std::vector<std::string> Numbers() const {
        std::vector<std::string> numbers;
        for (std::size_t i = 0; i < commands->Run().NumberCount(); ++i)
            numbers.emplace_back(commands->Run().Number(i));
        return numbers;
    }

    std::vector<MessageBoxRequest> Boxes(BoxKind kind) const {
        std::vector<MessageBoxRequest> found;
        for (const auto& box : dialogs.boxes)
            if (box.kind == kind) found.push_back(box);
        return found;
    }

    TempDir dir;
    FakeWindowView view;
    FakeWindowDialogs dialogs;
    HeldWork work;
    FakeWaker waker;
    std::unique_ptr<WindowCommands> commands;
};

TEST(ImportRouteTest, ByContentButATxtStaysALineList) {
    DetectedFormat format;
    format.kind = DetectedFormat::Kind::kZip;
    EXPECT_EQ(RouteOf(format, "list.txt", false), ImportRoute::Table);
    format.kind = DetectedFormat::Kind::kCompoundFile;
    EXPECT_EQ(RouteOf(format, "old.xls", false), ImportRoute::Table);
    format.kind = DetectedFormat::Kind::kDelimited;
    EXPECT_EQ(RouteOf(format, "a.csv", false), ImportRoute::Table);
    EXPECT_EQ(RouteOf(format, "a.dat", false), ImportRoute::Table);
    EXPECT_EQ(RouteOf(format, "A.TXT", false), ImportRoute::TextList);
    EXPECT_EQ(RouteOf(format, "a.txt", true), ImportRoute::CleanedTextList);
    format.mark = ByteOrderMark::kUtf16LittleEndian;
    EXPECT_EQ(RouteOf(format, "unicode.txt", false), ImportRoute::Table);
    format = {};
    EXPECT_EQ(RouteOf(format, "a.csv", false), ImportRoute::TextList);
    EXPECT_EQ(RouteOf(format, "a.csv", true), ImportRoute::CleanedTextList);
}

// A workbook with two visible sheets and two columns of numbers: both asked, Enter's choices
// preselected; the column taken is cleaned, the reading held off the UI thread with the
// commands that could interfere disabled, and a second read by ImportedTable meets the same
// rows.
TEST_F(ListImportTest, WorkbookAsksSheetAndColumnThenReadsInTheBackground) {
    ImportText("13800101234\r\n");
    const std::string book = kTables + "openpyxl.xlsx";
    dialogs.file_answers.push_back({book});
    dialogs.list_answers = {std::nullopt};
    commands->Import();
    ASSERT_EQ(dialogs.choices.back().filters, FileChoice::Filters::ImportLists);
    ASSERT_EQ(dialogs.lists.size(), 1u);  // the sheet dialog, cancelled: nothing happens
    EXPECT_EQ(dialogs.lists[0].purpose, ListChoice::Purpose::Sheet);
    ASSERT_EQ(dialogs.lists[0].rows.size(), 2u);  // the hidden sheet left out
    EXPECT_EQ(dialogs.lists[0].rows[0][0], u"客户");
    EXPECT_FALSE(work.Busy());

    dialogs.file_answers.push_back({book});
    dialogs.list_answers = {0, 2};  // 客户, then column C
    commands->Import();
    ASSERT_TRUE(work.Busy());
    EXPECT_FALSE(view.enabled[Command::Import]);
    EXPECT_FALSE(view.enabled[Command::Query]);
    EXPECT_FALSE(view.work_enabled[WorkCommand::Export]);
    EXPECT_EQ(view.panels[kPanelStatus], ReadingStatus(0));
    work.Finish();  // opened: now the columns
    ASSERT_EQ(dialogs.lists.size(), 3u);
    const ListChoice& columns = dialogs.lists[2];
    EXPECT_EQ(columns.purpose, ListChoice::Purpose::Column);
    EXPECT_EQ(columns.prompt, window_text::kColumnChoiceSeveral);
    EXPECT_EQ(columns.preselected, 1u);  // B, where most numbers are
    EXPECT_EQ(columns.rows[1][1], u"手机");
    EXPECT_EQ(columns.rows[1][2], u"13800138000、13912345678、15000000000");
    EXPECT_EQ(Numbers(), std::vector<std::string>{"13800101234"});  // the old list, still
    ASSERT_TRUE(work.Busy());
    work.Finish();
    EXPECT_TRUE(view.enabled[Command::Import]);
    EXPECT_TRUE(view.enabled[Command::Query]);
    // Rows 2-6 and row 8; row 7, left out of the file, is empty and gives no entry.
    EXPECT_EQ(Numbers(), (std::vector<std::string>{"13800138000", "13912345678", "15000000000",
                                                   "18612345678", Gbk(u"无"), ""}));
    EXPECT_EQ(view.panels[kPanelNumberCount], "6");
    EXPECT_EQ(view.panels[kPanelStatus], Gbk(u"导入查询数据！号码列: C (其他号码)，无号码 2 条"));

    const auto& table = commands->ImportedTableSource();
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->path, book);
    const auto again = TableReader::Open(RealFileSystem(), table->path, table->options);
    EXPECT_EQ(again->layout().number_column, 2u);
    std::size_t entries = 0;
    again->ReadRows([&](const TableRow& row) { entries += CarriesEntry(row) ? 1 : 0; });
    EXPECT_EQ(entries, 6u);

    // A text list's import forgets the table.
    ImportText("13800101234\r\n");
    EXPECT_FALSE(commands->ImportedTableSource().has_value());
}

// One column of numbers is taken without a question; a cancelled column dialog, and a table
// that cannot be read, leave the old list, its rows and the status as they were.
TEST_F(ListImportTest, ClearColumnUnaskedFailuresKeepTheOldList) {
    const std::string csv =
        dir.Write("list.csv", "name,phone\r\nA,13800101234\r\nB,13800101235\r\n");
    commands->ImportFile(csv);
    work.Finish();
    work.Finish();
    EXPECT_TRUE(dialogs.lists.empty());
    EXPECT_EQ(Numbers(), (std::vector<std::string>{"13800101234", "13800101235"}));
    EXPECT_EQ(commands->ImportedTableSource()->options.column, "2");
    const std::string status = view.panels[kPanelStatus];

    dialogs.list_answers = {std::nullopt};
    commands->ImportFile(kTables + "libreoffice.xlsx");
    work.Finish();
    ASSERT_EQ(dialogs.lists.size(), 1u);
    EXPECT_FALSE(work.Busy());
    for (const char* bad : {"truncated.xlsx", "no_numbers.xlsx", "old_format.xls"}) {
        commands->ImportFile(kTables + bad);
        if (work.Busy()) work.Finish();
    }
    const auto errors = Boxes(BoxKind::Error);
    ASSERT_EQ(errors.size(), 3u);
    for (const auto& error : errors) {
        EXPECT_EQ(error.text.rfind(u"无法读取表格 \"", 0), 0u) << Gbk(error.text);
    }
    EXPECT_NE(errors[1].text.find(u"没有含手机号码的列"), std::u16string::npos);
    EXPECT_NE(errors[2].text.find(u".xlsx"), std::u16string::npos);
    EXPECT_EQ(Numbers().size(), 2u);
    EXPECT_EQ(view.panels[kPanelStatus], status);
    EXPECT_TRUE(commands->ImportedTableSource().has_value());
}

// Off by default, a text list is read as it stands; on, every line is cleaned and the status
// counts what the clean-up did.
TEST_F(ListImportTest, CleaningTextListsIsAnOption) {
    const std::string untidy = "+86 138-0010-1234\r\n13800101235\r\nnone\r\n";
    ImportText(untidy);
    EXPECT_FALSE(work.Busy());
    EXPECT_EQ(Numbers()[0], "+86 138-0010-1234");
    commands->SetCleanTextLists(true);
    ImportText(untidy);
    ASSERT_TRUE(work.Busy());
    work.Finish();
    EXPECT_EQ(Numbers(), (std::vector<std::string>{"13800101234", "13800101235", "none"}));
    EXPECT_EQ(view.panels[kPanelStatus], Gbk(u"导入查询数据！整理 1 条，无号码 1 条"));
    EXPECT_FALSE(commands->ImportedTableSource().has_value());
}

// A table while a merge runs is refused with a message; a dropped workbook goes as one chosen;
// a close during the reading gives the reading up and closes.
TEST_F(ListImportTest, BusyDroppedAndClosed) {
    dialogs.file_answers = {{dir.Write("a.txt", "1\r\n")}, {dir.path() + "out.txt"}};
    commands->Merge();
    ASSERT_TRUE(work.Busy());
    commands->DropFiles({kTables + "pandas.xlsx"});
    ASSERT_EQ(Boxes(BoxKind::Plain).size(), 1u);
    EXPECT_EQ(Boxes(BoxKind::Plain)[0].text, window_text::kImportWaitsForWork);
    work.Finish();

    commands->DropFiles({kTables + "pandas.xlsx"});
    ASSERT_TRUE(work.Busy());
    work.Finish();
    ASSERT_TRUE(work.Busy());
    EXPECT_FALSE(commands->CloseQuery());
    EXPECT_EQ(view.panels[kPanelStatus], Gbk(window_text::kClosingAfterImport));
    work.Finish();
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(commands->Run().NumberCount(), 0u);
    EXPECT_TRUE(Boxes(BoxKind::Error).empty());
}

}  // namespace
}  // namespace haojian::testing
