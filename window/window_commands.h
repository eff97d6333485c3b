#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/run/query_run.h"
#include "window/failure_text.h"
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
    // Imports the list file at path as Import does with the file chosen in its dialog; nothing
    // while Import is disabled.
    void ImportFile(const std::string& path);
    void Query();
    void Stop();
    void Export();
    void Merge();
    void TimerTick();
    void HomePage();
    void Contact();

    // Import is refused while a run or an export goes on, and once a close waits.
    bool CanImport() const;
    // True while an export or a merge runs.
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
    enum class LongWork { None, Export, Merge };

    template <typename F>
    void Guarded(WindowWork work, F&& command);
    void StartLongWork(LongWork kind, std::function<void()> work,
                       std::function<void(std::exception_ptr)> done);
    void UpdateCommands();

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
    // Last, so that it goes first: its worker may still report to the view.
    std::unique_ptr<QueryRun> run_;
};

}  // namespace haojian
