#include "window/window_commands.h"

#include <cerrno>
#include <chrono>
#include <optional>
#include <utility>

#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/export/export.h"
#include "core/files/file_system.h"
#include "core/merge/merge.h"
#include "core/run/number_list.h"
#include "core/run/result_table.h"
#include "core/table/table_preview.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "window/export_job.h"
#include "window/list_import.h"
#include "window/window_texts.h"

namespace haojian {

WindowCommands::WindowCommands(WindowView& view, WindowDialogs& dialogs, BackgroundWork& work,
                               UiWaker& waker, FileSystem& files, WindowPlaces places)
    : view_(view),
      dialogs_(dialogs),
      work_(work),
      files_(files),
      places_(std::move(places)),
      status_(GbkFromUtf16(window_text::kContactLine)),
      run_(std::make_unique<QueryRun>(static_cast<RunView&>(*this), waker, files)) {}

WindowCommands::~WindowCommands() = default;

void WindowCommands::LoadDatabase() {
    Guarded(WindowWork::Read, [&] {
        std::optional<SegmentDatabase> database =
            LoadSegmentDatabase(files_, places_.program_directory);
        if (!database) {
            ShowMessage(Utf16FromGbk(text::kReminderNoDatabase));
            return;
        }
        const std::size_t lines = database->size();
        run_->SetDatabase(std::move(*database));
        view_.SetPanelText(kPanelDatabaseSize, std::to_string(lines));
    });
}

void WindowCommands::ShowMessage(std::u16string_view text) {
    dialogs_.ShowBox(
        {BoxKind::Plain, std::u16string(window_text::kApplicationTitle), std::u16string(text)});
}

bool WindowCommands::Confirm(std::u16string_view text) {
    return dialogs_.ShowBox({BoxKind::Confirm, std::u16string(window_text::kConfirmCaption),
                             std::u16string(text)}) != Answer::No;
}

void WindowCommands::ShowError(std::string_view gbk_message) {
    dialogs_.ShowBox({BoxKind::Error, std::u16string(window_text::kApplicationTitle),
                      Utf16FromGbk(ErrorBoxText(gbk_message))});
}

template <typename F>
void WindowCommands::Guarded(WindowWork work, F&& command) {
    try {
        command();
    } catch (const std::exception& error) {
        ShowError(WindowFailureText(error, work));
    }
}

bool WindowCommands::CanImport() const {
    // An export reads the rows that Import would replace; an import's reading is on already.
    return !close_confirmed_ && run_allows_import_ && long_work_ != LongWork::Export &&
           long_work_ != LongWork::Import;
}

bool WindowCommands::Busy() const {
    return work_.Busy();
}

void WindowCommands::Import() {
    if (!CanImport()) return;
    FileChoice choice;
    choice.kind = FileChoice::Kind::Open;
    choice.purpose = FileChoice::Purpose::Import;
    choice.title = window_text::kImportTitle;
    choice.directory =
        places_.dialog_directory.empty() ? places_.program_directory : places_.dialog_directory;
    choice.filters = FileChoice::Filters::ImportLists;
    choice.default_suffix = u"txt";
    const std::vector<std::string> chosen = dialogs_.ChooseFiles(choice);
    if (chosen.empty()) return;
    ImportFile(chosen.front());
}

void WindowCommands::ImportFile(const std::string& path) {
    if (!CanImport()) return;
    ImportPath(path, false);
}

void WindowCommands::DropFiles(const std::vector<std::string>& paths) {
    if (!CanImport() || paths.empty()) return;
    if (paths.size() > 1) return ShowMessage(Utf16FromGbk(text::kDropOneFile));
    ImportPath(paths.front(), true);
}

void WindowCommands::ImportPath(const std::string& path, bool dropped) {
    std::optional<DetectedFormat> format;
    try {
        format = DetectFileFormat(files_, path);
    } catch (const FileError& e) {
        // A folder is no list, which the window says in words of its own.
        if (dropped && e.code() == EISDIR) return ShowMessage(Utf16FromGbk(text::kDropFolder));
        // Otherwise the list's import below meets the failure and reports it as always.
    } catch (const std::exception&) {
    }
    const ImportRoute route =
        format ? RouteOf(*format, path, clean_text_lists_) : ImportRoute::TextList;
    // One piece of long work at a time: a table waits for the export or merge to end.
    if (route != ImportRoute::TextList && work_.Busy()) {
        return ShowMessage(window_text::kImportWaitsForWork);
    }
    switch (route) {
        case ImportRoute::TextList:
            imported_table_.reset();
            return Guarded(WindowWork::Read, [&] { run_->Import(path); });
        case ImportRoute::CleanedTextList:
            return ImportCleanedList(path);
        case ImportRoute::Table:
            return ImportTable(path, format->kind == DetectedFormat::Kind::kZip);
    }
}

// One table's import, carried from the sheet's choice through the reading to the new list.
struct WindowCommands::TableImport {
    std::string path;
    TableOptions options;
    std::string status_before;
    std::unique_ptr<TableReader> reader;
    std::size_t column = 0;
    bool header_row = false;
    std::string header;
    ImportedEntries entries;
};

void WindowCommands::ImportTable(const std::string& path, bool workbook) {
    auto import = std::make_shared<TableImport>();
    import->path = path;
    import->status_before = status_;
    if (workbook) {
        // Its sheets are listed from the workbook's small parts, on the UI thread.
        std::vector<SheetEntry> sheets;
        try {
            sheets = VisibleSheets(files_, path);
        } catch (const std::exception& e) {
            return ShowError(WindowFailureText(e, WindowWork::Read));
        }
        std::size_t sheet = 0;
        if (sheets.size() > 1) {
            const std::optional<std::size_t> picked = dialogs_.ChooseFromList(SheetPick(sheets));
            if (!picked || *picked >= sheets.size()) return;
            sheet = *picked;
        }
        if (sheet < sheets.size()) import->options.sheet = sheets[sheet].asked;
    }
    StartImportWork(
        import->status_before,
        [this, import](const std::atomic<bool>&) {
            import->reader = TableReader::Open(files_, import->path, import->options);
        },
        [this, import] { ReadTable(import); });
}

void WindowCommands::ReadTable(std::shared_ptr<TableImport> import) {
    const std::vector<TableRow>& first = import->reader->FirstRows();
    const std::vector<ColumnCandidate> columns = ColumnCandidates(first);
    std::size_t column = import->reader->layout().number_column;
    if (AskForColumn(columns, column)) {
        const std::optional<std::size_t> picked =
            dialogs_.ChooseFromList(ColumnPick(columns, column));
        if (!picked || *picked >= columns.size()) return SetStatus(import->status_before);
        column = *picked;
    }
    import->column = column;
    import->header_row = columns[column].header_row;
    import->header = columns[column].header;
    // Written out, so that a second read takes this column whatever it would detect.
    import->options.column = ColumnAskedFor(first.front().cells, column);
    StartImportWork(
        import->status_before,
        [this, import](const std::atomic<bool>& cancel) {
            import->entries = ReadTableEntries(
                *import->reader, import->column, import->header_row,
                [this](std::uint64_t rows) {
                    work_.Post([this, rows] {
                        if (long_work_ == LongWork::Import && !close_confirmed_) {
                            view_.SetPanelText(kPanelStatus, ReadingStatus(rows));
                        }
});
},
                cancel);
// Its shared strings go on this thread, not the UI thread.
import->reader.reset();
},
        [this, import] {
    run_->ImportList(std::move(import->entries.numbers));
    imported_table_ = ImportedTable{import->path, import->options, true};
    SetStatus(TableImportedStatus(import->column, import->header, import->entries.no_number));
        });
}

void WindowCommands::ImportCleanedList(const std::string& path) {
    auto entries = std::make_shared<ImportedEntries>();
    StartImportWork(
        status_,
        [this, path, entries](const std::atomic<bool>&) {
            *entries = CleanLines(ReadNumberList(files_, path));
        },
        [this, entries] {
            run_->ImportList(std::move(entries->numbers));
            imported_table_.reset();
            SetStatus(CleanedListStatus(*entries));
        });
}

void WindowCommands::StartImportWork(std::string status_before,
                                     std::function<void(const std::atomic<bool>&)> work,
                                     std::function<void()> done) {
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    import_cancel_ = cancel;
    SetStatus(ReadingStatus(0));
    StartLongWork(
        LongWork::Import, [work = std::move(work), cancel] { work(*cancel); },
        [this, done = std::move(done), status_before](std::exception_ptr error) {
            import_cancel_.reset();
            // A close ended the reading: the window goes, the old list with it.
            if (close_confirmed_) return;
            if (!error) return Guarded(WindowWork::Read, done);
            // Nothing of the old list was let go.
            SetStatus(status_before);
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                ShowError(WindowFailureText(e, WindowWork::Read));
            } catch (...) {
            }
        });
}

void WindowCommands::Query() {
    Guarded(WindowWork::Read, [&] { run_->Query(); });
}

void WindowCommands::Stop() {
    Guarded(WindowWork::Read, [&] { run_->Stop(); });
}

void WindowCommands::TimerTick() {
    run_->TimerTick();
}

void WindowCommands::Export() {
    if (work_.Busy()) return;
    const std::string layout = view_.FilterText(FilterBox::Layout);
    const bool whole_rows = IsWholeRowsLayout(layout);
    FileChoice choice;
    choice.kind = FileChoice::Kind::Save;
    choice.purpose = FileChoice::Purpose::Export;
    choice.title = window_text::kExportTitle;
    choice.directory =
        places_.dialog_directory.empty() ? places_.program_directory : places_.dialog_directory;
    // The whole rows are a table: a workbook unless the user picks CSV.
    choice.filters = whole_rows ? FileChoice::Filters::Tables : FileChoice::Filters::Export;
    choice.default_suffix = whole_rows ? u"xlsx" : u"txt";
    choice.file_name =
        Utf16FromGbk(view_.FilterText(FilterBox::City)) + u"." + choice.default_suffix;
    view_.RepaintNow();
    if (run_->Rows().size() == 0) return;
    // A typed layout that names none of the six is refused before a file is chosen, and so are
    // the whole rows of a list that came from no table.
    if (!whole_rows && !ExportLayoutFromText(layout)) return ShowError(text::kRefuseUnknownLayout);
    if (whole_rows && !imported_table_) return ShowError(text::kRefuseWholeRowsWithoutTable);
    const std::vector<std::string> chosen = dialogs_.ChooseFiles(choice);
    if (chosen.empty()) return;
    view_.RepaintNow();
    const std::string status_before = status_;
    SetStatus(text::kExportBusy);
    status_written_during_work_ = false;
    auto job = std::make_shared<ExportJob>();
    // The export covers the rows there are now; a run may append more meanwhile.
    job->rows = run_->RowsSnapshot();
    job->province = view_.FilterText(FilterBox::Province);
    job->city = view_.FilterText(FilterBox::City);
    job->card_type = view_.FilterText(FilterBox::CardType);
    job->layout = layout;
    job->path = chosen.front();
    if (whole_rows) {
        job->table = imported_table_;
        job->database = &run_->Database();
    }
    auto written = std::make_shared<std::size_t>(0);
    StartLongWork(
        LongWork::Export, [job, written, &files = files_] { *written = WriteExport(*job, files); },
        [this, job, written, status_before](std::exception_ptr error) {
            // A failed export leaves the status as it was before, unless the run wrote it since.
            if (error && !status_written_during_work_) SetStatus(status_before);
            try {
                if (error) std::rethrow_exception(error);
                SetStatus(ExportedStatusText(*written));
            } catch (const FileError& e) {
                // Reading the table again is reading, worded as an import's failure is.
                const bool source = job->table && e.path() == job->table->path;
                ShowError(WindowFailureText(e, source ? WindowWork::Read : WindowWork::Save));
            } catch (const std::exception& e) {
                ShowError(WindowFailureText(e, WindowWork::Save));
            }
        });
}

void WindowCommands::Merge() {
    if (work_.Busy()) return;
    FileChoice open;
    open.kind = FileChoice::Kind::OpenMany;
    open.purpose = FileChoice::Purpose::MergeSources;
    open.title = window_text::kMergeSourcesTitle;
    open.filters = FileChoice::Filters::ChineseText;
    open.default_suffix = u"txt";
    const std::vector<std::string> sources = dialogs_.ChooseFiles(open);
    if (sources.empty()) return;

    FileChoice save = open;
    save.kind = FileChoice::Kind::Save;
    save.purpose = FileChoice::Purpose::MergeOutput;
    save.title = window_text::kMergeOutputTitle;
    const std::vector<std::string> output = dialogs_.ChooseFiles(save);
    if (output.empty()) return;

    SetStatus(text::kMergeBusy);
    auto lines = std::make_shared<std::size_t>(0);
    StartLongWork(
        LongWork::Merge,
        [this, lines, &files = files_, sources, output = output.front()] {
            MergeOptions options;
            options.progress = [this, last = std::string(),
                                at = std::chrono::steady_clock::time_point()](
                                   const MergeProgress& progress) mutable {
                // A few times a second at most, and only when the text changes.
                const auto now = std::chrono::steady_clock::now();
                if (now - at < std::chrono::milliseconds(250)) return;
                std::string text = MergeProgressText(progress);
                if (text == last) return;
                at = now;
                last = text;
                work_.Post([this, text = std::move(text)] {
                    if (long_work_ == LongWork::Merge && !close_confirmed_) {
                        view_.SetPanelText(kPanelStatus, text);
                    }
                });
            };
            *lines = MergeDataFiles(sources, output, options, files);
        },
        [this, lines](std::exception_ptr error) {
            std::optional<std::string> failure;
            try {
                if (error) std::rethrow_exception(error);
                SetStatus(MergedStatusText(*lines));
            } catch (const MergeCutError& cut) {
                // The lines before the NUL byte were written as the result.
                SetStatus(MergedStatusText(cut.line_count()));
                failure = WindowFailureText(cut, WindowWork::Merge);
            } catch (const std::exception& other) {
                SetStatus(text::kMergeFailed);
                failure = WindowFailureText(other, WindowWork::Merge);
            }
            if (failure) ShowError(*failure);
        });
}

void WindowCommands::CountStatistics(std::function<void(RowStatistics)> show) {
    if (close_confirmed_) return;
    if (work_.Busy()) {
        // Counted once the export or merge has ended.
        waiting_statistics_ = std::move(show);
        return;
    }
    auto counted = std::make_shared<RowStatistics>();
    StartLongWork(
        LongWork::Statistics,
        [counted, rows = std::shared_ptr<const ResultTable>(run_->RowsSnapshot())] {
            *counted = CountRows(*rows, DefaultCollation());
        },
        [this, counted, show = std::move(show)](std::exception_ptr error) {
            Guarded(WindowWork::Read, [&] {
                if (error) std::rethrow_exception(error);
                show(std::move(*counted));
            });
        });
}

void WindowCommands::SetStatus(std::string_view gbk_text) {
    status_ = gbk_text;
    view_.SetPanelText(kPanelStatus, gbk_text);
}

void WindowCommands::StartLongWork(LongWork kind, std::function<void()> work,
                                   std::function<void(std::exception_ptr)> done) {
    long_work_ = kind;
    view_.SetBusyPointer(true);
    UpdateCommands();
    work_.Start(std::move(work), [this, done = std::move(done)](std::exception_ptr error) {
        long_work_ = LongWork::None;
        view_.SetBusyPointer(false);
        UpdateCommands();
        done(error);
        // Work that done started goes first: the close and the counts wait for it.
        if (work_.Busy()) return;
        // A close confirmed while the work ran takes effect now.
        if (close_confirmed_) return view_.CloseConfirmed();
        if (waiting_statistics_) CountStatistics(std::exchange(waiting_statistics_, nullptr));
    });
}

void WindowCommands::UpdateCommands() {
    const bool busy = long_work_ != LongWork::None;
    // A window that closes once its work has ended takes no new command.
    const bool open = !close_confirmed_;
    view_.SetCommandEnabled(Command::Import, CanImport());
    // A query would start on the list that an import's reading is about to replace.
    view_.SetCommandEnabled(Command::Query,
                            open && run_allows_query_ && long_work_ != LongWork::Import);
    view_.SetCommandEnabled(Command::Stop, open && run_allows_stop_);
    view_.SetWorkCommandEnabled(WorkCommand::Export, open && !busy);
    view_.SetWorkCommandEnabled(WorkCommand::Merge, open && !busy);
    view_.SetWorkCommandEnabled(WorkCommand::Exit, open && !busy);
    view_.SetWorkCommandEnabled(WorkCommand::HomePage, open);
    view_.SetWorkCommandEnabled(WorkCommand::About, open);
}

void WindowCommands::HomePage() {
    dialogs_.OpenAddress(window_text::kHomePageAddress);
}

void WindowCommands::Contact() {
    dialogs_.OpenAddress(window_text::kContactAddress);
}

bool WindowCommands::CloseQuery() {
    if (!close_confirmed_ && !Confirm(window_text::kConfirmExit)) return false;
    if (work_.Busy() && long_work_ != LongWork::Statistics) {
        // The work ends first, its file complete and any failure shown; then the window closes.
        // Meanwhile it says so, shown even when the close came from the tray, and takes no new
        // command.
        close_confirmed_ = true;
        // An import's reading is given up; an export or a merge completes its file.
        if (import_cancel_) import_cancel_->store(true);
        SetStatus(GbkFromUtf16(long_work_ == LongWork::Merge ? window_text::kClosingAfterMerge
                               : long_work_ == LongWork::Import
                                   ? window_text::kClosingAfterImport
                                   : window_text::kClosingAfterExport));
        UpdateCommands();
        view_.BringBack();
        return false;
    }
    // Counts still being made are dropped: the window waits for their thread as it goes.
    // A worker still resolving must end before the lists go away.
    run_->Shutdown();
    return true;
}

void WindowCommands::RowsAppended(std::size_t first, std::size_t count) {
    view_.RowsAppended(first, count);
}

void WindowCommands::RowsCleared() {
    view_.RowsCleared();
}

void WindowCommands::SetStatusText(RunStatus status, std::string_view gbk_text) {
    if (status == RunStatus::Message) {
        status_ = gbk_text;
        status_written_during_work_ = true;
    }
    view_.SetStatusText(status, gbk_text);
}

void WindowCommands::SetProgressMaximum(int maximum) {
    view_.SetProgressMaximum(maximum);
}

void WindowCommands::SetProgressPosition(int position) {
    view_.SetProgressPosition(position);
}

void WindowCommands::SetCommandEnabled(Command command, bool enabled) {
    switch (command) {
        case Command::Import:
            run_allows_import_ = enabled;
            enabled = CanImport();
            break;
        case Command::Query:
            run_allows_query_ = enabled;
            enabled = enabled && !close_confirmed_ && long_work_ != LongWork::Import;
            break;
        case Command::Stop:
            run_allows_stop_ = enabled;
            enabled = enabled && !close_confirmed_;
            break;
    }
    view_.SetCommandEnabled(command, enabled);
}

void WindowCommands::FillProvinceBox(std::span<const std::string_view> entries) {
    view_.FillProvinceBox(entries);
}

void WindowCommands::FillCityBox(std::span<const std::string_view> entries) {
    view_.FillCityBox(entries);
}

void WindowCommands::SetTimerRunning(bool running) {
    view_.SetTimerRunning(running);
}

}  // namespace haojian
