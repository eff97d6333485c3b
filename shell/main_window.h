#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/run/query_run.h"
#include "window/tool_button.h"
#include "window/window_commands.h"
#include "window/window_seams.h"

class QComboBox;
class QDialog;
class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;

namespace haojian {

class AddressOpener;
class BackgroundThread;
class CommandDialogs;
class Dialogs;
class QueuedWaker;
class ResultListView;
class ResultModel;
class StatisticsWindow;

// What the window reaches outside itself. Tests give their own.
struct WindowSeams {
    Dialogs& dialogs;
    AddressOpener& opener;
    FileSystem& files;
    // Where the database is read from and where Import and Export start; ends in "/".
    std::string program_directory;
    // Where Import and Export start instead, when not empty (see core/files/dialog_directory.h).
    std::string dialog_directory = {};
};

// The desktop's dialogs, address handler, files and the executable's directory.
WindowSeams DesktopSeams();

// The main window: tool bar, filter strip, result list, bottom panel and status bar, with
// the commands behind the tool bar. It owns the query run for its whole life.
class TForm1 : public QWidget, private WindowView {
    Q_OBJECT
public:
    explicit TForm1(WindowSeams seams, QWidget* parent = nullptr);
    ~TForm1() override;

    QueryRun& Run() { return commands_->Run(); }
    // True while an export or a merge runs, or statistics are counted.
    bool Busy() const;
    haojian::Dialogs& Boxes() { return seams_.dialogs; }
    QString StatusText(int panel) const;
    // The About window that N15Click shows modally; the window does not own it.
    void SetAboutWindow(QDialog* about) { about_ = about; }

    // Imports the list file at path, as Import does with the file chosen in its dialog.
    void ImportFile(const QString& path);
    // Opens the statistics of the rows there are now, once they are counted off the UI thread.
    void ShowStatistics();
    // 分类导出, from the result list's menu.
    void SplitExport();
    StatisticsWindow* Statistics() const { return statistics_; }

    // Message boxes of the application: plain, confirmation (true for Yes) and error.
    void ShowMessage(const QString& text);
    bool Confirm(const QString& text);
    void ShowError(std::string_view gbk_message);

public slots:
    void SpeedButton4Click();   // Import
    void SpeedButton2Click();   // Query
    void SpeedButton3Click();   // Stop
    void SpeedButton5Click();   // Export
    void SpeedButton1Click();   // Merge
    void N20Click();            // home page
    void N14Click();            // contact
    void N15Click();            // About
    void SpeedButton10Click();  // exit
    void N23Click();            // exit, from the tray menu
    void Timer1Timer();

signals:
    // The window has just been minimised.
    void Minimised();
    // A close was confirmed and the run has ended: the application ends with the window, even
    // when the window is hidden (where Qt would not count it as the last window closing).
    void Closed();
    // The window must be shown, from the tray if it is there.
    void BringBackRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    void FormCreate();

    // WindowView
    void RowsAppended(std::size_t first, std::size_t count) override;
    void RowsCleared() override;
    void SetPanelText(int panel, std::string_view gbk_text) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    void SetCommandEnabled(Command command, bool enabled) override;
    void FillProvinceBox(std::span<const std::string_view> entries) override;
    void FillCityBox(std::span<const std::string_view> entries) override;
    void SetTimerRunning(bool running) override;
    std::string FilterText(FilterBox box) const override;
    void SetWorkCommandEnabled(WorkCommand command, bool enabled) override;
    void SetBusyPointer(bool busy) override;
    void RepaintNow() override;
    void CloseConfirmed() override;
    void BringBack() override;

    WindowSeams seams_;
    QDialog* about_ = nullptr;

    std::array<QToolButton*, kToolButtonCount> buttons_{};  // by ToolButton
    StatisticsWindow* statistics_ = nullptr;
    std::array<QComboBox*, 4> filter_boxes_{};
    ResultListView* list_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::array<QLabel*, 7> panels_{};
    QTimer* timer_ = nullptr;

    std::unique_ptr<CommandDialogs> command_dialogs_;
    // Exports and merges; before the run: its work reads the rows.
    std::unique_ptr<BackgroundThread> work_;
    std::unique_ptr<QueuedWaker> waker_;
    std::unique_ptr<ResultModel> model_;
    // Last, so that it is destroyed first: its run's worker may still report to the members
    // above.
    std::unique_ptr<WindowCommands> commands_;
};

}  // namespace haojian
