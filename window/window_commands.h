#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/export/row_statistics.h"
#include "core/run/query_run.h"
#include "window/failure_text.h"
#include "window/imported_table.h"
#include "window/window_seams.h"

namespace haojian {

class FileSystem;

// Where the window finds its database and where Import and Export start.
struct WindowPlaces {
    // The executable's directory, ending in the path separator.
    std::string program_directory;
    // Where Import and Export start instead, when not empty.
    std::string dialog_directory = {};
};

// What the main window's commands do, refuse and report, whatever draws the window: Import,
// Query, Stop, Export, Merge, the progress tick, the small commands and the close. It owns the
// query run and stands between it and the view, and runs export and merge off the UI thread
// with the commands that could interfere disabled. Everything runs on the UI thread.
class WindowCommands : private RunView {
public:
    // waker must call Run().ProcessHandOff() on the UI thread.
    WindowCommands(WindowView& view, WindowDialogs& dialogs, BackgroundWork& work, UiWaker& waker,
                   FileSystem& files, WindowPlaces places);
    ~WindowCommands() override;
    WindowCommands(const WindowCommands&) = delete;
    WindowCommands& operator=(const WindowCommands&) = delete;

    QueryRun& Run() { return *run_; }
    const QueryRun& Run() const { return *run_; }

    // Loads the database beside the program: its line count into panel 5, or the reminder box
    // when there is none, or the error box when it cannot be read.
    void LoadDatabase();

    void Import();
    // Imports the file at path as Import does with the file chosen in its dialog; nothing
    // while Import is disabled. A text list is read by the line rule at once (each line
    // cleaned, when CleanTextLists), a table off the UI thread, after its sheet and number
    // column were asked for where the choice is not clear.
    void ImportFile(const std::string& path);
    // Files dropped on the window: one list file is imported as ImportFile does; several files
    // or a folder are refused with a message. Nothing while Import is disabled.
    void DropFiles(const std::vector<std::string>& paths);
    void Query();
    void Stop();
    // Export: the rows that pass the filters in the chosen layout, as text lines, a workbook or
    // CSV by the chosen name; or the whole rows of the imported table with their look-ups.
    void Export();
    // 分类导出: the rows that pass the filters, in the chosen layout, one file per value of a
    // field in a folder, or a sheet per value in one workbook; asks before files of the folder
    // are replaced. Off the UI thread, as Export. (window/split_export_command.cpp)
    void SplitExport();
    // Whether 分类导出 may start now: rows to export and no long work running.
    bool CanSplitExport() const;
    void Merge();
    void TimerTick();
    void HomePage();
    void Contact();
    // Counts the rows there are now off the UI thread, under the busy pointer, then hands the
    // counts to show on the UI thread; asked while an export or a merge runs, once it has ended.
    void CountStatistics(std::function<void(RowStatistics)> show);
    // Whether text lists imported from now on have their untidy numbers cleaned (+86,
    // separators, full-width digits, a number inside text) as a table's are. Off at start;
    // kept only while the program runs.
    bool CleanTextLists() const { return clean_text_lists_; }
    void SetCleanTextLists(bool clean) { clean_text_lists_ = clean; }
    // The table the current list came from; none after a text list's import.
    const std::optional<ImportedTable>& ImportedTableSource() const { return imported_table_; }
    // What a table's import took, for the export of its whole rows; none after a text list's.
    void SetImportedTableSource(std::optional<ImportedTable> table) {
        imported_table_ = std::move(table);
    }
    // The About window opens unless the window waits to close.
    bool CanShowAbout() const { return !close_confirmed_; }

    // Import is refused while a run or an export goes on, and once a close waits.
    bool CanImport() const;
    // True while an export, a merge or an import's reading runs, or statistics are counted.
    bool Busy() const;
    // A close was asked for: the confirmation, unless it was given already. True when the
    // window may close now (the run has then ended). While an export or a merge runs, the
    // close waits for it, saying so in the status bar with every command disabled, and comes
    // through WindowView::CloseConfirmed when it has ended.
    bool CloseQuery();

    // The application's message boxes: plain, confirmation (true unless No) and error (GBK).
    void ShowMessage(std::u16string_view text);
    bool Confirm(std::u16string_view text);
    void ShowError(std::string_view gbk_message);

private:
    enum class LongWork { None, Export, Merge, Statistics, Import };
    struct TableImport;

    struct SplitJob;

    template <typename F>
    void Guarded(WindowWork work, F&& command);
    // The steps of a split export after its dialogs: the files written, then put in place.
    void WriteSplitFiles(std::shared_ptr<SplitJob> job);
    void PlaceSplitFiles(std::shared_ptr<SplitJob> job);
    void EndSplitExport(const SplitJob& job, std::exception_ptr error);
    void StartLongWork(LongWork kind, std::function<void()> work,
                       std::function<void(std::exception_ptr)> done);
    void UpdateCommands();
    // The imports that read off the UI thread: a table, and a text list to be cleaned.
    void ImportPath(const std::string& path, bool dropped);
    void ImportTable(const std::string& path, bool workbook);
    void ReadTable(std::shared_ptr<TableImport> import);
    void ImportCleanedList(const std::string& path);
    // Reading for an import: the status says how far it got, a failure is shown, and a close
    // asked for meanwhile ends it.
    void StartImportWork(std::string status_before,
                         std::function<void(const std::atomic<bool>& cancel)> work,
                         std::function<void()> done);
    // Writes the status panel and remembers its text.
    void SetStatus(std::string_view gbk_text);

    // RunView: passed on to the view, but for Import, which long work disables too.
    void RowsAppended(std::size_t first, std::size_t count) override;
    void RowsCleared() override;
    void SetStatusText(RunStatus status, std::string_view gbk_text) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    void SetCommandEnabled(Command command, bool enabled) override;
    void FillProvinceBox(std::span<const std::string_view> entries) override;
    void FillCityBox(std::span<const std::string_view> entries) override;
    void SetTimerRunning(bool running) override;

    WindowView& view_;
    WindowDialogs& dialogs_;
    BackgroundWork& work_;
    FileSystem& files_;
    WindowPlaces places_;
    bool run_allows_import_ = true;
    bool run_allows_query_ = true;
    bool run_allows_stop_ = true;
    LongWork long_work_ = LongWork::None;
    bool close_confirmed_ = false;
    // The status panel's text, and whether something else wrote it while long work ran.
    std::string status_;
    bool status_written_during_work_ = false;
    // Statistics asked for while other long work ran.
    std::function<void(RowStatistics)> waiting_statistics_;
    std::optional<ImportedTable> imported_table_;
    // The split export's last choice, proposed the next time.
    SplitExportChoice split_choice_;
    bool clean_text_lists_ = false;
    // Set by a close to end the import's reading.
    std::shared_ptr<std::atomic<bool>> import_cancel_;
    // Last, so that it goes first: its worker may still report to the view.
    std::unique_ptr<QueryRun> run_;
};

}  // namespace haojian
