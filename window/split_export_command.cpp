// WindowCommands::SplitExport and its steps; the rest of the commands are in
// window_commands.cpp.
#include "window/split_export_command.h"

#include <chrono>
#include <memory>
#include <utility>

#include "core/export/export_cells.h"
#include "core/export/result_rows_export.h"
#include "core/export/split_export.h"
#include "core/files/file_system.h"
#include "core/files/open_file_limit.h"
#include "core/run/result_table.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "window/split_export_texts.h"
#include "window/window_commands.h"
#include "window/window_texts.h"

namespace haojian {
namespace {

// Names a replace question shows before it says how many there are.
constexpr std::size_t kShownNames = 10;

std::u16string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return Utf16FromGbk(GbkFromUtf8(slash == std::string::npos ? path : path.substr(slash + 1)));
}

OutputFormat FolderFormat(SplitExportChoice::Into into) {
    switch (into) {
        case SplitExportChoice::Into::CsvFiles:
            return OutputFormat::kCsv;
        case SplitExportChoice::Into::Workbooks:
            return OutputFormat::kWorkbook;
        case SplitExportChoice::Into::TextFiles:
        case SplitExportChoice::Into::OneWorkbook:
            break;
    }
    return OutputFormat::kText;
}

std::string ProgressText(std::size_t read, std::size_t total) {
    const std::size_t percent = total == 0 ? 100 : read * 100 / total;
    return GbkFromUtf16(window_text::kSplitBusy) + std::to_string(percent) + "%";
}

}  // namespace

std::u16string SplitReplaceQuestion(const std::vector<std::string>& paths) {
    std::u16string text(window_text::kSplitReplaceHead);
    for (std::size_t i = 0; i < paths.size() && i < kShownNames; ++i) {
        text += u"\n";
        text += FileName(paths[i]);
    }
    if (paths.size() > kShownNames) {
        text += u"\n";
        text += window_text::kSplitReplaceMoreHead;
        const std::string count = std::to_string(paths.size());
        text += std::u16string(count.begin(), count.end());
        text += window_text::kSplitReplaceMoreTail;
    }
    text += u"\n\n";
    text += window_text::kSplitReplaceTail;
    return text;
}

std::string SplitExportedStatusText(const SplitExportChoice& choice, std::size_t values,
                                    std::size_t rows) {
    std::u16string text(window_text::kSplitDone);
    const auto number = [&text](std::size_t n) {
        const std::string digits = std::to_string(n);
        text += std::u16string(digits.begin(), digits.end());
    };
    if (choice.into == SplitExportChoice::Into::OneWorkbook) {
        text += window_text::kSplitOneWorkbook;
        number(values);
        text += window_text::kSplitValues;
    } else {
        number(values);
        text += window_text::kSplitFiles;
    }
    number(rows);
    text += window_text::kSplitRows;
    return GbkFromUtf16(text);
}

// One split export, from its thread's work to its end on the UI thread.
struct WindowCommands::SplitJob {
    SplitExportChoice choice;
    std::string target;  // the folder, or the one workbook
    std::shared_ptr<const ResultTable> rows;
    std::string province, city, card_type, layout;
    std::string status_before;
    // Made on the work's thread; dropped, with every file not yet in place, when the job goes.
    std::unique_ptr<ExportTarget> files;
    SplitFolderTarget* folder = nullptr;      // files, for a folder
    SplitWorkbookTarget* workbook = nullptr;  // files, for one workbook
    std::size_t exported = 0;

    std::size_t Values() const {
        return folder ? folder->paths().size() : workbook ? workbook->values() : 0;
    }
};

bool WindowCommands::CanSplitExport() const {
    return !work_.Busy() && !close_confirmed_ && run_->Rows().size() > 0;
}

void WindowCommands::SplitExport() {
    if (work_.Busy() || close_confirmed_) return;
    view_.RepaintNow();
    if (run_->Rows().size() == 0) return;
    // Whole rows belong to one table; a split writes the numbers in one of the six layouts.
    const std::string layout = view_.FilterText(FilterBox::Layout);
    if (layout == text::kLayoutWholeRows) return ShowError(text::kRefuseSplitWholeRows);
    if (!ExportLayoutFromText(layout)) return ShowError(text::kRefuseUnknownLayout);
    const std::optional<SplitExportChoice> choice = dialogs_.ChooseSplitExport(split_choice_);
    if (!choice) return;
    split_choice_ = *choice;
    const std::string start =
        places_.dialog_directory.empty() ? places_.program_directory : places_.dialog_directory;
    std::string target;
    if (choice->into == SplitExportChoice::Into::OneWorkbook) {
        FileChoice save;
        save.kind = FileChoice::Kind::Save;
        save.purpose = FileChoice::Purpose::Export;
        save.title = window_text::kSplitWorkbookTitle;
        save.directory = start;
        save.file_name = window_text::kSplitWorkbookName;
        save.filters = FileChoice::Filters::Workbook;
        save.default_suffix = u"xlsx";
        const std::vector<std::string> chosen = dialogs_.ChooseFiles(save);
        if (!chosen.empty()) target = chosen.front();
    } else {
        target = dialogs_.ChooseFolder({std::u16string(window_text::kSplitFolderTitle), start});
    }
    if (target.empty()) return;
    view_.RepaintNow();

    auto job = std::make_shared<SplitJob>();
    job->choice = *choice;
    job->target = std::move(target);
    // The rows there are now; a run may append more meanwhile.
    job->rows = run_->RowsSnapshot();
    job->province = view_.FilterText(FilterBox::Province);
    job->city = view_.FilterText(FilterBox::City);
    job->card_type = view_.FilterText(FilterBox::CardType);
    job->layout = view_.FilterText(FilterBox::Layout);
    job->status_before = status_;
    WriteSplitFiles(std::move(job));
}

void WindowCommands::WriteSplitFiles(std::shared_ptr<SplitJob> job) {
    SetStatus(ProgressText(0, job->rows->size()));
    status_written_during_work_ = false;
    StartLongWork(
        LongWork::Export,
        [this, job, &files = files_] {
            const ExportFilter filter{job->province, job->city, job->card_type};
            const std::vector<std::string> header = ExportCells(filter, job->layout).Header();
            // A file per value stays open until all are complete.
            RaiseOpenFileLimit();
            if (job->choice.into == SplitExportChoice::Into::OneWorkbook) {
                auto workbook = std::make_unique<SplitWorkbookTarget>(files, job->target, header);
                job->workbook = workbook.get();
                job->files = std::move(workbook);
            } else {
                auto folder = std::make_unique<SplitFolderTarget>(
                    files, job->target, FolderFormat(job->choice.into), CsvEncoding::kGbk, header);
                job->folder = folder.get();
                job->files = std::move(folder);
            }
            const std::size_t total = job->rows->size();
            auto shown = std::chrono::steady_clock::time_point();
            job->exported =
                ExportResultRows(*job->rows, filter, job->layout, job->choice.field, *job->files,
                                 [&](std::size_t read) {
                                     // A few times a second at most.
                                     const auto now = std::chrono::steady_clock::now();
                                     if (now - shown < std::chrono::milliseconds(250)) return;
                                     shown = now;
                                     work_.Post([this, text = ProgressText(read, total)] {
                                         if (long_work_ == LongWork::Export && !close_confirmed_) {
                                             view_.SetPanelText(kPanelStatus, text);
                                         }
                                     });
                                 });
        },
        [this, job](std::exception_ptr error) {
            if (error) {
                job->files.reset();
                return EndSplitExport(*job, error);
            }
            if (job->exported == 0) {
                job->files.reset();
                // Nothing passed: no file is made, none replaced.
                return SetStatus(GbkFromUtf16(window_text::kSplitNothing));
            }
            std::vector<std::string> existing;
            if (job->folder) {
                for (const std::string& path : job->folder->paths()) {
                    if (files_.IsFile(path)) existing.push_back(path);
                }
            }
            if (!existing.empty() && !Confirm(SplitReplaceQuestion(existing))) {
                // Declined: every file of the folder stays as it was, and is let go now.
                job->files.reset();
                if (!status_written_during_work_) SetStatus(job->status_before);
                return;
            }
            PlaceSplitFiles(job);
        });
}

void WindowCommands::PlaceSplitFiles(std::shared_ptr<SplitJob> job) {
    // A window waiting to close keeps saying so.
    if (!close_confirmed_) SetStatus(GbkFromUtf16(window_text::kSplitSaving));
    StartLongWork(
        LongWork::Export, [job] { job->files->Commit(); },
        [this, job](std::exception_ptr error) { EndSplitExport(*job, error); });
}

void WindowCommands::EndSplitExport(const SplitJob& job, std::exception_ptr error) {
    // A failure leaves the status as it was before, unless the run wrote it since.
    if (error && !status_written_during_work_) SetStatus(job.status_before);
    try {
        if (error) std::rethrow_exception(error);
        SetStatus(SplitExportedStatusText(job.choice, job.Values(), job.exported));
    } catch (const std::exception& failure) {
        ShowError(WindowFailureText(failure, WindowWork::Write));
    }
}

}  // namespace haojian
