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
#include "shell/failure_text.h"

class QComboBox;
class QDialog;
class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;

namespace haojian {

class AddressOpener;
class BackgroundTask;
class Dialogs;
class QueuedWaker;
class ResultListView;
class ResultModel;
class StatisticsWindow;
enum class BoxKind;

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
class TForm1 : public QWidget, private RunView {
    Q_OBJECT
public:
    explicit TForm1(WindowSeams seams, QWidget* parent = nullptr);
    ~TForm1() override;

    QueryRun& Run() { return *run_; }
    // True while an export or a merge runs.
    bool Busy() const;
    QString StatusText(int panel) const;
    // The About window that N15Click shows modally; the window does not own it.
    void SetAboutWindow(QDialog* about) { about_ = about; }

    // Imports the list file at path, as Import does with the file chosen in its dialog.
    void ImportFile(const QString& path);
    // Opens the statistics of the rows there are now.
    void ShowStatistics();
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class LongWork { None, Export, Merge };

    void BuildControls();
    void FormCreate();
    bool FormCloseQuery();
    // Where the Import and Export dialogs start.
    const std::string& StartDirectory() const {
        return seams_.dialog_directory.empty() ? seams_.program_directory : seams_.dialog_directory;
    }
    // Runs a command; an Error it raises goes to the error box.
    template <typename F>
    void Guarded(WindowWork work, F&& command);
    // Runs an export or a merge off the UI thread: the busy pointer, and the commands that
    // could interfere disabled, until done has run on the UI thread.
    void StartLongWork(LongWork kind, std::function<void()> work,
                       std::function<void(std::exception_ptr)> done);
    void SetBusy(bool busy);
    void UpdateCommands();
    void SetPanelText(int panel, std::string_view gbk_text);

    // The status bar's panels that the window writes.
    static constexpr int kPanelNumberCount = 1;
    static constexpr int kPanelPosition = 3;
    static constexpr int kPanelDatabaseSize = 5;
    static constexpr int kPanelMessage = 6;

    // RunView
    void RowsAppended(std::size_t first, std::size_t count) override;
    void RowsCleared() override;
    void SetStatusText(RunStatus status, std::string_view gbk_text) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    void SetCommandEnabled(Command command, bool enabled) override;
    void FillProvinceBox(std::span<const std::string_view> entries) override;
    void FillCityBox(std::span<const std::string_view> entries) override;
    void SetTimerRunning(bool running) override;

    WindowSeams seams_;
    QDialog* about_ = nullptr;
    QString merge_open_directory_;
    QString merge_save_directory_;

    QToolButton* import_ = nullptr;
    QToolButton* query_ = nullptr;
    QToolButton* stop_ = nullptr;
    QToolButton* export_ = nullptr;
    QToolButton* merge_ = nullptr;
    QToolButton* exit_ = nullptr;
    bool run_allows_import_ = true;
    bool run_allows_query_ = true;
    bool run_allows_stop_ = true;
    BackgroundTask* task_ = nullptr;
    LongWork long_work_ = LongWork::None;
    bool close_confirmed_ = false;
    StatisticsWindow* statistics_ = nullptr;
    std::array<QComboBox*, 4> filter_boxes_{};
    ResultListView* list_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::array<QLabel*, 7> panels_{};
    QTimer* timer_ = nullptr;

    std::unique_ptr<QueuedWaker> waker_;
    std::unique_ptr<ResultModel> model_;
    // Last, so that it is destroyed first: its worker may still report to the members above.
    std::unique_ptr<QueryRun> run_;
};

}  // namespace haojian
