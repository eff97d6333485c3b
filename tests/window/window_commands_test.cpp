// The main window's commands without a window: what each one asks, refuses and reports.
#include "window/window_commands.h"

#include <gtest/gtest.h>

#include "core/export/export.h"
#include "core/files/file_system.h"
#include "core/files/temporary_file.h"
#include "core/merge/merge.h"
#include "core/run/result_table.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "tests/support/test_files.h"
#include "tests/window/window_fakes.h"
#include "window/window_texts.h"

namespace haojian::testing {
namespace {

// 138 0010 -> 江苏 南京 移动, 189 0000 -> 北京 北京 电信.
constexpr char kDatabase[] = "138001005011\r\n189000001002\r\n";

std::u16string ErrorText(std::string_view gbk) {
    return Utf16FromGbk(gbk) + u".";
}

class WindowCommandsTest : public ::testing::Test {
protected:
    void Open(bool with_database = true, std::string dialog_directory = {}) {
        if (with_database) dir.Write("kelvaronset.dat", kDatabase);
        view.FilterAny(text::kLayoutNumberCity);
        commands = std::make_unique<WindowCommands>(static_cast<WindowView&>(view), dialogs, work,
                                                    waker, RealFileSystem(),
                                                    WindowPlaces{dir.path(), dialog_directory});
        commands->LoadDatabase();
    }

    void Import(const std::string& bytes) {
        dialogs.file_answers.push_back({dir.Write("numbers.txt", bytes)});
        commands->Import();
    }

    void QueryToEnd() {
        commands->Query();
        PumpUntilWorkerEnds(commands->Run(), waker);
        commands->TimerTick();
    }

    std::vector<MessageBoxRequest> Boxes(BoxKind kind) const { return dialogs.BoxesOf(kind); }

    TempDir dir;
    FakeWindowView view;
    FakeWindowDialogs dialogs;
    HeldWork work;
    FakeWaker waker;
    std::unique_ptr<WindowCommands> commands;
};

TEST_F(WindowCommandsTest, StartShowsTheDatabaseSize) {
    Open();
    EXPECT_EQ(view.panels[kPanelDatabaseSize], "2");
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowCommandsTest, StartWithoutDatabaseReminds) {
    Open(false);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Plain);
    EXPECT_EQ(dialogs.boxes[0].caption, window_text::kApplicationTitle);
    EXPECT_EQ(dialogs.boxes[0].text, Utf16FromGbk(text::kReminderNoDatabase));
    EXPECT_FALSE(view.panels.contains(kPanelDatabaseSize));
}

// The refusals come in their order, in error boxes with the full stop behind them.
TEST_F(WindowCommandsTest, QueryRefusalsInOrder) {
    Open(false);
    Import("13800101234\r\n");
    commands->Query();
    Open(true);
    commands->Query();
    Import("13800101234\r\n18900001111\r\n");
    QueryToEnd();
    commands->Query();

    const auto errors = Boxes(BoxKind::Error);
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0].text, ErrorText(text::kRefuseNoDatabase));
    EXPECT_EQ(errors[1].text, ErrorText(text::kRefuseNoList));
    EXPECT_EQ(errors[2].text, ErrorText(text::kRefuseImportAgain));
    for (const auto& box : errors) EXPECT_EQ(box.caption, window_text::kApplicationTitle);
    EXPECT_EQ(view.panels[kPanelStatus], text::kStatusComplete);
    EXPECT_EQ(view.province_box, (std::vector<std::string>{std::string(text::kAnyProvince),
                                                           "\xB1\xB1\xBE\xA9",     // 北京
                                                           "\xBD\xAD\xCB\xD5"}));  // 江苏
}

TEST_F(WindowCommandsTest, ImportDialogCancelAndFailure) {
    Open(true, "/home/someone/");
    commands->Import();
    ASSERT_EQ(dialogs.choices.size(), 1u);
    const FileChoice& choice = dialogs.choices[0];
    EXPECT_EQ(choice.kind, FileChoice::Kind::Open);
    EXPECT_EQ(choice.title, window_text::kImportTitle);
    EXPECT_EQ(choice.directory, "/home/someone/");
    EXPECT_EQ(choice.filters, FileChoice::Filters::ImportLists);
    EXPECT_EQ(choice.default_suffix, u"txt");
    // Cancelled: nothing changed.
    EXPECT_FALSE(view.panels.contains(kPanelStatus));

    dialogs.file_answers.push_back({dir.path() + "missing.txt"});
    commands->Import();
    ASSERT_EQ(Boxes(BoxKind::Error).size(), 1u);
    EXPECT_NE(Boxes(BoxKind::Error)[0].text.find(u"missing.txt"), std::u16string::npos);
    EXPECT_FALSE(view.panels.contains(kPanelStatus));

    Import("1\n2\n\n");
    EXPECT_EQ(view.panels[kPanelNumberCount], "3");
    EXPECT_EQ(view.panels[kPanelStatus], text::kStatusImported);
}

// An export runs off the UI thread with the interfering commands disabled, and reports its
// count; Import waits while the rows are read, Query does not.
TEST_F(WindowCommandsTest, ExportOffTheUiThread) {
    Open();
    // No rows: the window repaints, but no dialog opens.
    commands->Export();
    EXPECT_TRUE(dialogs.choices.empty());
    EXPECT_EQ(view.repaints, 1);

    Import("13800101234\r\n18900001111\r\n1\r\n");
    QueryToEnd();
    dialogs.choices.clear();
    view.filters[FilterBox::City] = "\xC4\xCF\xBE\xA9";  // 南京
    const std::string out = dir.path() + "out.txt";
    dialogs.file_answers.push_back({out});
    commands->Export();
    ASSERT_EQ(dialogs.choices.size(), 1u);
    EXPECT_EQ(dialogs.choices[0].kind, FileChoice::Kind::Save);
    EXPECT_EQ(dialogs.choices[0].title, window_text::kExportTitle);
    EXPECT_EQ(dialogs.choices[0].directory, dir.path());
    EXPECT_EQ(dialogs.choices[0].file_name, u"南京.txt");

    ASSERT_TRUE(work.Busy());
    EXPECT_TRUE(view.busy_pointer);
    EXPECT_FALSE(view.enabled[Command::Import]);
    EXPECT_TRUE(view.enabled[Command::Query]);
    for (auto command : {WorkCommand::Export, WorkCommand::Merge, WorkCommand::Exit})
        EXPECT_FALSE(view.work_enabled[command]);
    // Dropped files wait too, and a second export or merge is not started.
    commands->ImportFile(dir.Write("other.txt", "1\n"));
    commands->Merge();
    EXPECT_EQ(commands->Run().NumberCount(), 3u);
    EXPECT_EQ(dialogs.choices.size(), 1u);

    work.Finish();
    // "1" begins the Nanjing line, so it resolves there too.
    EXPECT_EQ(ReadFileBytes(out), "138001012** \xC4\xCF\xBE\xA9\r\n1** \xC4\xCF\xBE\xA9\r\n");
    EXPECT_EQ(view.panels[kPanelStatus], ExportedStatusText(2));
    EXPECT_FALSE(view.busy_pointer);
    EXPECT_TRUE(view.enabled[Command::Import]);
    for (auto command : {WorkCommand::Export, WorkCommand::Merge, WorkCommand::Exit})
        EXPECT_TRUE(view.work_enabled[command]);
}

// A run that is going on keeps Import disabled through an export's end.
TEST_F(WindowCommandsTest, ExportDuringARunLeavesImportToTheRun) {
    Open();
    Import("13800101234\r\n");
    QueryToEnd();
    Import("13800101234\r\n18900001111\r\n");
    WorkerOptions options;
    options.max_batch = 1;
    commands->Run().SetWorkerOptions(options);
    const auto seen = waker.Wakes();
    commands->Query();
    ASSERT_TRUE(waker.WaitForWakes(seen + 1));
    commands->Run().ProcessHandOff();
    ASSERT_GT(commands->Run().Rows().size(), 0u);
    dialogs.file_answers.push_back({dir.path() + "out.txt"});
    commands->Export();
    work.Finish();
    EXPECT_FALSE(view.enabled[Command::Import]);
    commands->Stop();
    EXPECT_TRUE(view.enabled[Command::Import]);
    PumpUntilWorkerEnds(commands->Run(), waker);
}

// A layout typed that names none of the six is refused before the dialog; a failing export
// says it runs, then leaves the status as it was.
TEST_F(WindowCommandsTest, ExportRefusalsAndFailure) {
    Open();
    Import("13800101234\r\n");
    QueryToEnd();
    dialogs.choices.clear();
    view.filters[FilterBox::Layout] = "nonsense";
    commands->Export();
    EXPECT_TRUE(dialogs.choices.empty());
    EXPECT_FALSE(work.Busy());
    ASSERT_EQ(Boxes(BoxKind::Error).size(), 1u);
    EXPECT_EQ(Boxes(BoxKind::Error)[0].text, ErrorText(text::kRefuseUnknownLayout));

    view.filters[FilterBox::Layout] = std::string(text::kLayoutNumber);
    dialogs.file_answers.push_back({dir.path() + "no-such-folder/out.txt"});
    commands->Export();
    EXPECT_EQ(view.panels[kPanelStatus], text::kExportBusy);
    work.Finish();
    ASSERT_EQ(Boxes(BoxKind::Error).size(), 2u);
    EXPECT_EQ(view.panels[kPanelStatus], text::kStatusComplete);
    EXPECT_FALSE(view.busy_pointer);
}

TEST_F(WindowCommandsTest, MergeDialogsStatusAndCut) {
    Open();
    // Cancelled at either dialog: nothing happens.
    commands->Merge();
    dialogs.file_answers.push_back({dir.Write("a.txt", "b\r\nA\r\na\r\n")});
    commands->Merge();
    EXPECT_FALSE(work.Busy());
    ASSERT_EQ(dialogs.choices.size(), 3u);
    EXPECT_EQ(dialogs.choices[1].kind, FileChoice::Kind::OpenMany);
    EXPECT_EQ(dialogs.choices[1].purpose, FileChoice::Purpose::MergeSources);
    EXPECT_EQ(dialogs.choices[1].filters, FileChoice::Filters::ChineseText);
    EXPECT_EQ(dialogs.choices[1].title, window_text::kMergeSourcesTitle);
    EXPECT_TRUE(dialogs.choices[1].directory.empty());
    EXPECT_EQ(dialogs.choices[2].kind, FileChoice::Kind::Save);
    EXPECT_EQ(dialogs.choices[2].purpose, FileChoice::Purpose::MergeOutput);
    EXPECT_EQ(dialogs.choices[2].title, window_text::kMergeOutputTitle);
    EXPECT_FALSE(view.panels.contains(kPanelStatus));

    const std::string out = dir.path() + "merged.txt";
    dialogs.file_answers.push_back({dir.path() + "a.txt"});
    dialogs.file_answers.push_back({out});
    commands->Merge();
    EXPECT_EQ(view.panels[kPanelStatus], text::kMergeBusy);
    EXPECT_TRUE(view.enabled[Command::Import]);  // a merge reads no rows
    EXPECT_FALSE(view.work_enabled[WorkCommand::Merge]);
    work.Finish();
    EXPECT_EQ(ReadFileBytes(out), "A\r\nb\r\n");
    EXPECT_EQ(view.panels[kPanelStatus], MergedStatusText(2));
    // The passes showed meanwhile.
    ASSERT_GE(view.statuses.size(), 3u);
    EXPECT_EQ(view.statuses[view.statuses.size() - 2], std::string(text::kMergeReading) + "100%");

    // A NUL byte: the lines before it are the result, counted, and the cut is reported. (The
    // file is not "nul.txt": Windows reads and writes its null device under that name.)
    dialogs.file_answers.push_back({dir.Write("cut.txt", std::string("x\r\ny\0z\r\n", 8))});
    dialogs.file_answers.push_back({out});
    commands->Merge();
    work.Finish();
    EXPECT_EQ(view.panels[kPanelStatus], MergedStatusText(2));
    EXPECT_EQ(Boxes(BoxKind::Error).size(), 1u);

    // A source gone since it was chosen: the status says the merge failed.
    dialogs.file_answers.push_back({dir.path() + "gone.txt"});
    dialogs.file_answers.push_back({out});
    commands->Merge();
    work.Finish();
    EXPECT_EQ(view.panels[kPanelStatus], text::kMergeFailed);
    EXPECT_EQ(Boxes(BoxKind::Error).size(), 2u);
}

TEST(WindowFailureTextTest, ATemporaryFolderIsNamed) {
    EXPECT_EQ(WindowFailureText(TemporaryFolderError(FileError::Op::Write, "/tmp/runs", 28,
                                                     "No space left on device"),
                                WindowWork::Merge),
              "Cannot write temporary file in \"/tmp/runs\". No space left on device");
}

TEST_F(WindowCommandsTest, CloseAsksOnceAndWaitsForLongWork) {
    Open();
    dialogs.confirm_answers = {Answer::No};
    EXPECT_FALSE(commands->CloseQuery());
    ASSERT_EQ(Boxes(BoxKind::Confirm).size(), 1u);
    EXPECT_EQ(Boxes(BoxKind::Confirm)[0].caption, window_text::kConfirmCaption);
    EXPECT_EQ(Boxes(BoxKind::Confirm)[0].text, window_text::kConfirmExit);

    dialogs.file_answers.push_back({dir.Write("a.txt", "1\r\n")});
    dialogs.file_answers.push_back({dir.path() + "merged.txt"});
    commands->Merge();
    EXPECT_TRUE(commands->CanShowAbout());
    EXPECT_FALSE(commands->CloseQuery());  // Yes, but the merge goes on
    EXPECT_EQ(view.closes, 0);
    // Meanwhile the window shows itself (a close from the tray finds it hidden), says so and
    // takes no command, not even About, which the close would tear down.
    EXPECT_EQ(view.brought_back, 1);
    EXPECT_EQ(view.panels[kPanelStatus], GbkFromUtf16(window_text::kClosingAfterMerge));
    for (auto command : {Command::Import, Command::Query, Command::Stop})
        EXPECT_FALSE(view.enabled[command]);
    for (auto command : {WorkCommand::Export, WorkCommand::Merge, WorkCommand::Exit,
                         WorkCommand::HomePage, WorkCommand::About})
        EXPECT_FALSE(view.work_enabled[command]);
    EXPECT_FALSE(commands->CanShowAbout());
    work.Finish();
    EXPECT_EQ(view.closes, 1);
    EXPECT_TRUE(commands->CloseQuery());
    EXPECT_EQ(Boxes(BoxKind::Confirm).size(), 2u);  // not asked again
}

// One dropped list file is imported; several files, or a folder, are refused with a message.
TEST_F(WindowCommandsTest, DroppedFiles) {
    Open();
    const std::string list = dir.Write("numbers.txt", "13800101234\r\n");
    commands->DropFiles({list, dir.Write("more.txt", "1\r\n")});
    commands->DropFiles({dir.path()});
    ASSERT_EQ(Boxes(BoxKind::Plain).size(), 2u);
    EXPECT_EQ(Boxes(BoxKind::Plain)[0].text, Utf16FromGbk(text::kDropOneFile));
    EXPECT_EQ(Boxes(BoxKind::Plain)[1].text, Utf16FromGbk(text::kDropFolder));
    EXPECT_EQ(commands->Run().NumberCount(), 0u);
    commands->DropFiles({list});
    EXPECT_EQ(commands->Run().NumberCount(), 1u);
    EXPECT_EQ(dialogs.boxes.size(), 2u);
}

// Statistics are counted off the UI thread under the busy pointer; asked for during an export,
// once it has ended.
TEST_F(WindowCommandsTest, StatisticsCountedInTheBackground) {
    Open();
    Import("13800101234\r\n18900001111\r\n13800101235\r\n");
    QueryToEnd();
    std::vector<RowStatistics> shown;
    const auto show = [&](RowStatistics stats) { shown.push_back(std::move(stats)); };
    dialogs.file_answers.push_back({dir.path() + "out.txt"});
    commands->Export();
    commands->CountStatistics(show);
    work.Finish();  // the export
    ASSERT_TRUE(work.Busy());
    EXPECT_TRUE(view.busy_pointer);
    EXPECT_TRUE(shown.empty());
    work.Finish();  // the counts
    EXPECT_FALSE(view.busy_pointer);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].provinces.total, 3u);
    ASSERT_EQ(shown[0].cities.names.size(), 2u);
    EXPECT_EQ(shown[0].cities.names[0].count, 2u);

    // A close while counting does not wait for the counts.
    commands->CountStatistics(show);
    EXPECT_TRUE(commands->CloseQuery());
    EXPECT_EQ(view.brought_back, 0);
}

TEST_F(WindowCommandsTest, AddressesGoToTheShell) {
    Open();
    commands->HomePage();
    commands->Contact();
    EXPECT_EQ(dialogs.opened,
              (std::vector<std::string>{std::string(window_text::kHomePageAddress),
                                        std::string(window_text::kContactAddress)}));
}

}  // namespace
}  // namespace haojian::testing
