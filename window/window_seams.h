#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/run/query_run.h"
#include "window/address_opener.h"
#include "window/split_export_choice.h"

namespace haojian {

// The filter strip's boxes, left to right.
enum class FilterBox { Province, City, CardType, Layout };

// The commands that long work (an export, a merge) disables besides Import; a close that waits
// for the work disables HomePage and About too.
enum class WorkCommand { Export, Merge, Exit, HomePage, About };

// The status bar's panels that the commands write.
inline constexpr int kPanelNumberCount = 1;
inline constexpr int kPanelProgress = 3;
inline constexpr int kPanelDatabaseSize = 5;
inline constexpr int kPanelStatus = 6;

// What the commands change in a main window beyond what the query run shows. Every call comes
// on the UI thread.
class WindowView : public RunView {
public:
    // Writes gbk_text into the status bar's panel.
    virtual void SetPanelText(int panel, std::string_view gbk_text) = 0;
    // What the run says goes to the panel the window shows it in.
    void SetStatusText(RunStatus status, std::string_view gbk_text) final {
        switch (status) {
            case RunStatus::NumberCount:
                return SetPanelText(kPanelNumberCount, gbk_text);
            case RunStatus::Position:
                return SetPanelText(kPanelProgress, gbk_text);
            case RunStatus::Message:
                return SetPanelText(kPanelStatus, gbk_text);
        }
    }
    // The text standing in a filter box now, as GBK bytes.
    virtual std::string FilterText(FilterBox box) const = 0;
    virtual void SetWorkCommandEnabled(WorkCommand command, bool enabled) = 0;
    // The busy-in-background pointer over the application, or the normal one.
    virtual void SetBusyPointer(bool busy) = 0;
    // Paints the window now, before the UI thread is held or the work starts.
    virtual void RepaintNow() = 0;
    // Closes the window, asking no question: the close was confirmed before.
    virtual void CloseConfirmed() = 0;
    // Shows the window raised, back from the tray or from minimised, as the tray's show
    // command does.
    virtual void BringBack() = 0;
};

// One file dialog as a command wants it.
struct FileChoice {
    enum class Kind {
        Open,      // one file; a typed name of a file that does not exist is accepted
        OpenMany,  // several existing files
        Save,      // asks before an existing file is replaced
    };
    // Which command asks: a window that remembers folders per dialog keys them by this.
    enum class Purpose { Import, Export, MergeSources, MergeOutput };
    // The lists of FileFilters (window/file_filters.h): text files and all files, in English or
    // in Chinese; an export's, which adds workbooks and CSV after those two; tables alone; the
    // statistics' CSV or workbook files; an import's: text files, workbooks, CSV and TSV, every
    // list the program reads, then all files.
    enum class Filters { Text, ChineseText, Export, Tables, Csv, Workbook, ImportLists };

    Kind kind = Kind::Open;
    Purpose purpose = Purpose::Import;
    std::u16string title;
    // Where the dialog starts, as the core names paths; empty: the dialog's own last folder.
    std::string directory;
    std::u16string file_name;  // the proposed name
    Filters filters = Filters::Text;
    // Without the dot; appended to a typed name without one. A dialog that can append the
    // selected filter's own suffix instead does so.
    std::u16string default_suffix;
};

// A folder dialog as a command wants it.
struct FolderChoice {
    std::u16string title;
    // Where the dialog starts, as the core names paths; empty: the dialog's own last folder.
    std::string directory;
};

// The three kinds of message box.
enum class BoxKind {
    Plain,    // no icon, one button "确定"
    Confirm,  // question icon, "是[&Y]" (the default) and "否[&N]" (Escape)
    Error,    // stop icon, one button "确定"
};
enum class Answer { Ok, Yes, No };

struct MessageBoxRequest {
    BoxKind kind = BoxKind::Plain;
    std::u16string caption;
    std::u16string text;
};

// A pick among the rows of a small table: a workbook's sheets, a table's columns.
struct ListChoice {
    enum class Purpose { Sheet, Column };
    Purpose purpose = Purpose::Column;
    std::u16string title;
    std::u16string prompt;  // the line above the list
    std::vector<std::u16string> headings;
    std::vector<std::vector<std::u16string>> rows;  // as many cells as headings
    std::size_t preselected = 0;                    // what Enter takes
};

// The dialogs, boxes and addresses the commands reach, in the platform's own form. Tests
// answer them.
class WindowDialogs : public AddressOpener {
public:
    // The chosen files' full paths, as the core names paths; empty when the user cancelled.
    virtual std::vector<std::string> ChooseFiles(const FileChoice& choice) = 0;
    virtual Answer ShowBox(const MessageBoxRequest& request) = 0;
    // The chosen folder's full path, as the core names paths; empty when the user cancelled.
    virtual std::string ChooseFolder(const FolderChoice& choice) = 0;
    // The split export's dialog, showing proposed at first; none when the user cancelled.
    virtual std::optional<SplitExportChoice> ChooseSplitExport(
        const SplitExportChoice& proposed) = 0;
    // The row of choice the user took; nothing when the dialog was cancelled.
    virtual std::optional<std::size_t> ChooseFromList(const ListChoice& choice) = 0;
};

// Runs one piece of long work (an export, a merge) off the UI thread, one at a time.
class BackgroundWork {
public:
    virtual ~BackgroundWork() = default;
    virtual bool Busy() const = 0;
    // Runs work on a thread of its own (or here and now when the system gives none), then done
    // on the UI thread with what the work threw, null when it returned. Busy until done runs.
    virtual void Start(std::function<void()> work,
                       std::function<void(std::exception_ptr)> done) = 0;
    // Called by the work, on its thread: runs step on the UI thread soon, before the work's
    // done when the work is still running.
    virtual void Post(std::function<void()> step) = 0;
};

}  // namespace haojian
