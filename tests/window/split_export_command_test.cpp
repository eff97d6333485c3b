// 分类导出 without a window: its dialogs, the files and sheets it writes, the question before
// files are replaced, and its failures.
#include "window/split_export_command.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/base/error.h"
#include "core/files/file_system.h"
#include "core/table/table_reader.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"
#include "tests/window/window_fakes.h"
#include "window/failure_text.h"
#include "window/split_export_texts.h"
#include "window/window_commands.h"
#include "window/window_texts.h"

namespace haojian::testing {
namespace {

// 138 0010 -> 江苏 南京 移动, 189 0000 -> 北京 北京 电信; anything else 未知.
constexpr char kDatabase[] = "138001005011\r\n189000001002\r\n";
constexpr char kNumbers[] = "13800101234\r\n18900001111\r\n17400001234\r\n13800109999\r\n";

std::string Gbk(std::u16string_view text) {
    return GbkFromUtf16(text);
}

// A sheet's rows (by its 1-based number), each its cells joined by ",", and its name.
std::pair<std::string, std::vector<std::string>> Sheet(const std::string& workbook, int number) {
    auto reader = TableReader::Open(RealFileSystem(), workbook, {std::to_string(number), "1"});
    std::vector<std::string> rows;
    reader->ReadRows([&](const TableRow& row) {
        std::string line;
        for (const std::string& cell : row.cells) line += (line.empty() ? "" : ",") + cell;
        rows.push_back(line);
    });
    return {reader->layout().sheet, rows};
}

class SplitExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("kelvaronset.dat", kDatabase);
        view.FilterAny(text::kLayoutNumberCard);
    }

    void Open(FileSystem& files = RealFileSystem()) {
        commands = std::make_unique<WindowCommands>(static_cast<WindowView&>(view), dialogs, work,
                                                    waker, files, WindowPlaces{dir.path(), {}});
        commands->LoadDatabase();
        dialogs.file_answers.push_back({dir.Write("numbers.txt", kNumbers)});
        commands->Import();
        commands->Query();
        PumpUntilWorkerEnds(commands->Run(), waker);
        commands->TimerTick();
    }

    // Runs a split export into folder (made first) to its end, the question answered Yes.
    void SplitInto(const std::string& folder, SplitExportChoice choice) {
        dialogs.split_answers.push_back(choice);
        dialogs.folder_answers.push_back(folder);
        commands->SplitExport();
        while (work.Busy()) work.Finish();
    }

    TempDir dir;
    TempDir out;
    FakeWindowView view;
    FakeWindowDialogs dialogs;
    HeldWork work;
    FakeWaker waker;
    std::unique_ptr<WindowCommands> commands;
};

// A folder of text files, one per province, each in the layout, its lines in list order; the
// commands that could interfere wait meanwhile; the next dialog proposes the last choice.
TEST_F(SplitExportTest, FolderOfTextFilesByProvince) {
    Open();
    EXPECT_TRUE(commands->CanSplitExport());
    dialogs.split_answers.push_back(SplitExportChoice{SplitField::kProvince});
    dialogs.folder_answers.push_back(out.path());
    commands->SplitExport();
    ASSERT_EQ(dialogs.split_proposals.size(), 1u);
    EXPECT_EQ(dialogs.split_proposals[0], SplitExportChoice{});
    ASSERT_EQ(dialogs.folder_choices.size(), 1u);
    EXPECT_EQ(dialogs.folder_choices[0].title, window_text::kSplitFolderTitle);
    EXPECT_EQ(dialogs.folder_choices[0].directory, dir.path());

    ASSERT_TRUE(work.Busy());
    EXPECT_FALSE(commands->CanSplitExport());
    EXPECT_TRUE(view.busy_pointer);
    EXPECT_FALSE(view.enabled[Command::Import]);
    for (auto command : {WorkCommand::Export, WorkCommand::Merge, WorkCommand::Exit})
        EXPECT_FALSE(view.work_enabled[command]);
    work.Finish();  // the files written
    ASSERT_TRUE(work.Busy());
    EXPECT_EQ(view.panels[kPanelStatus], Gbk(window_text::kSplitSaving));
    EXPECT_TRUE(FileNames(out.path()).empty()) << "nothing in place before it is complete";
    work.Finish();  // put in place

    const std::string jiangsu = Gbk(u"江苏"), beijing = Gbk(u"北京");
    EXPECT_EQ(ReadFileBytes(out.path() + "江苏.txt"),
              "138001012** " + Gbk(u"移动") + "\r\n138001099** " + Gbk(u"移动") + "\r\n");
    EXPECT_EQ(ReadFileBytes(out.path() + "北京.txt"), "189000011** " + Gbk(u"电信") + "\r\n");
    EXPECT_EQ(ReadFileBytes(out.path() + "未知.txt"), "174000012** " + Gbk(u"未知") + "\r\n");
    EXPECT_EQ(FileNames(out.path()).size(), 3u);
    EXPECT_EQ(view.panels[kPanelStatus],
              SplitExportedStatusText(SplitExportChoice{SplitField::kProvince}, 3, 4));
    EXPECT_EQ(view.panels[kPanelStatus], Gbk(u"分类导出完毕：3个文件，共4条"));
    EXPECT_FALSE(view.busy_pointer);
    EXPECT_TRUE(view.enabled[Command::Import]);
    EXPECT_TRUE(view.work_enabled[WorkCommand::Export]);
    EXPECT_TRUE(dialogs.boxes.empty());

    // Cancelled at the folder: the last choice was remembered, nothing runs.
    const SplitExportChoice csv{SplitField::kCard, SplitExportChoice::Into::CsvFiles};
    dialogs.split_answers.push_back(csv);
    commands->SplitExport();
    dialogs.split_answers.push_back(std::nullopt);
    commands->SplitExport();
    EXPECT_FALSE(work.Busy());
    EXPECT_EQ(dialogs.split_proposals.back(), csv);
}

// Files of the same names are replaced only once the user has said Yes; No leaves the folder
// as it was. CSV files begin with the layout's header.
TEST_F(SplitExportTest, AsksBeforeReplacing) {
    Open();
    const std::string old_card = out.Write("移动.csv", "old\r\n");
    const SplitExportChoice csv{SplitField::kCard, SplitExportChoice::Into::CsvFiles};
    dialogs.confirm_answers = {Answer::No};
    SplitInto(out.path(), csv);
    ASSERT_EQ(dialogs.BoxesOf(BoxKind::Confirm).size(), 1u);
    const std::u16string question = dialogs.BoxesOf(BoxKind::Confirm)[0].text;
    EXPECT_NE(question.find(u"\n移动.csv\n"), std::u16string::npos);
    EXPECT_EQ(question.find(u"电信.csv"), std::u16string::npos);
    EXPECT_EQ(ReadFileBytes(old_card), "old\r\n");
    EXPECT_EQ(FileNames(out.path()).size(), 1u);

    SplitInto(out.path(), csv);  // Yes
    EXPECT_EQ(dialogs.BoxesOf(BoxKind::Confirm).size(), 2u);
    const std::string header = Gbk(u"手机号码,卡类") + "\r\n";
    EXPECT_EQ(ReadFileBytes(old_card),
              header + "138001012**," + Gbk(u"移动") + "\r\n138001099**," + Gbk(u"移动") + "\r\n");
    EXPECT_EQ(ReadFileBytes(out.path() + "电信.csv"),
              header + "189000011**," + Gbk(u"电信") + "\r\n");
    EXPECT_EQ(FileNames(out.path()).size(), 3u);
}

// One workbook: a sheet per city with the header; filters apply. No row passing writes nothing.
TEST_F(SplitExportTest, OneWorkbookAndNothingToWrite) {
    Open();
    view.filters[FilterBox::CardType] = Gbk(u"移动");
    view.filters[FilterBox::Layout] = std::string(text::kLayoutNumber);
    const std::string book = out.path() + "split.xlsx";
    dialogs.split_answers.push_back(
        SplitExportChoice{SplitField::kCity, SplitExportChoice::Into::OneWorkbook});
    dialogs.file_answers.push_back({book});
    commands->SplitExport();
    ASSERT_FALSE(dialogs.choices.empty());
    EXPECT_EQ(dialogs.choices.back().kind, FileChoice::Kind::Save);
    EXPECT_EQ(dialogs.choices.back().filters, FileChoice::Filters::Workbook);
    EXPECT_EQ(dialogs.choices.back().file_name, window_text::kSplitWorkbookName);
    while (work.Busy()) work.Finish();
    const auto [name, rows] = Sheet(book, 1);
    EXPECT_EQ(name, Gbk(u"南京"));
    EXPECT_EQ(rows, (std::vector<std::string>{Gbk(u"手机号码"), "138001012**", "138001099**"}));
    EXPECT_EQ(view.panels[kPanelStatus], Gbk(u"分类导出完毕：一个工作簿，1类，共2条"));

    view.filters[FilterBox::CardType] = Gbk(u"联通");
    SplitInto(out.path(), {});
    EXPECT_EQ(FileNames(out.path()).size(), 1u);
    EXPECT_EQ(view.panels[kPanelStatus], Gbk(window_text::kSplitNothing));
}

// A file that cannot be made: the error box names it and the reason, in Chinese; the status is
// as before and no file is left behind. A layout none of the six is refused before any dialog,
// the whole rows of a table in words of their own.
TEST_F(SplitExportTest, FailuresAndRefusal) {
    FaultyFileSystem faulty;
    Open(faulty);
    const std::string status = view.panels[kPanelStatus];
    faulty.FailAt(FaultyFileSystem::Op::Create, faulty.Calls(FaultyFileSystem::Op::Create) + 2,
                  ENOSPC);
    SplitInto(out.path(), {});
    ASSERT_EQ(dialogs.BoxesOf(BoxKind::Error).size(), 1u);
    EXPECT_EQ(dialogs.BoxesOf(BoxKind::Error)[0].text,
              Utf16FromGbk(Gbk(u"无法创建文件“") + out.path() + Gbk(u"北京.txt”：磁盘空间不足.")));
    EXPECT_EQ(view.panels[kPanelStatus], status);
    EXPECT_TRUE(FileNames(out.path()).empty());

    view.filters[FilterBox::Layout] = "nonsense";
    dialogs.split_proposals.clear();
    commands->SplitExport();
    EXPECT_TRUE(dialogs.split_proposals.empty());
    EXPECT_EQ(dialogs.BoxesOf(BoxKind::Error).size(), 2u);

    // The whole rows of a table are exported, not split: said in words of their own.
    view.filters[FilterBox::Layout] = std::string(text::kLayoutWholeRows);
    commands->SplitExport();
    EXPECT_TRUE(dialogs.split_proposals.empty());
    ASSERT_EQ(dialogs.BoxesOf(BoxKind::Error).size(), 3u);
    EXPECT_EQ(dialogs.BoxesOf(BoxKind::Error)[2].text,
              Utf16FromGbk(std::string(text::kRefuseSplitWholeRows)) + u".");
}

// A close confirmed while the files are written waits until they are in place too.
TEST_F(SplitExportTest, CloseWaitsForBothSteps) {
    Open();
    dialogs.split_answers.push_back(SplitExportChoice{});
    dialogs.folder_answers.push_back(out.path());
    commands->SplitExport();
    EXPECT_FALSE(commands->CloseQuery());
    work.Finish();
    ASSERT_TRUE(work.Busy());
    EXPECT_EQ(view.closes, 0);
    EXPECT_EQ(view.panels[kPanelStatus], Gbk(window_text::kClosingAfterExport));
    work.Finish();
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(FileNames(out.path()).size(), 3u);
}

TEST(SplitExportTextsTest, ReplaceQuestionShowsTheFirstNames) {
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) paths.push_back("/d/" + std::to_string(i) + ".txt");
    const std::u16string question = SplitReplaceQuestion(paths);
    EXPECT_NE(question.find(u"\n9.txt\n"), std::u16string::npos);
    EXPECT_EQ(question.find(u"10.txt"), std::u16string::npos);
    EXPECT_NE(question.find(u"等12个文件"), std::u16string::npos);
    EXPECT_EQ(SplitReplaceQuestion({"C:\\d\\a.txt"}),
              u"文件夹中已有下列同名文件：\na.txt\n\n要替换它们吗？");
}

}  // namespace
}  // namespace haojian::testing
