#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "win32/dpi_scale.h"
#include "win32/pictures.h"
#include "window/tool_button.h"
#include "window/tray_window_logic.h"
#include "window/window_commands.h"
#include "window/window_seams.h"

namespace haojian {
class BackgroundThread;
class RowCopy;
}  // namespace haojian

namespace haojian::win32 {

class TForm2;
class CommandDialogs;
class GraphicControls;
class PostedWaker;
class ResultListView;
class StatisticsWindow;
class TTaskbarIcon;

// Control identifiers of the main window, for WM_COMMAND and for tests that find the controls.
enum ControlId : int {
    kIdFirstToolButton = 100,  // the tool bar's buttons left to right: 100..107 (ToolButtonId)
    kIdComboBox1 = 201,
    kIdComboBox2,
    kIdComboBox3,
    kIdComboBox4,
    kIdLabel2 = 211,
    kIdLabel1,
    kIdListView1 = 300,
    kIdMemo2 = 400,
    kIdProgressBar1 = 401,
    kIdStatusBar1 = 500,
    // The tray menu's items N17..N23, then the result list's menu.
    kIdN17 = 1017,
    kIdN18,
    kIdN19,
    kIdN20,
    kIdN21,
    kIdN22,
    kIdN23,
    kIdCopyRows = 1101,
    kIdSelectAllRows,
    kIdShowStatistics,
    kIdSplitExport,
    kIdCleanLists,  // a check item: imported text lists are cleaned
};

constexpr int ToolButtonId(ToolButton button) {
    return kIdFirstToolButton + int(button);
}

// The main window's class, and its progress timer Timer1.
inline constexpr wchar_t kMainWindowClass[] = L"TForm1";
inline constexpr UINT_PTR kTimer1 = 1;

// The main window TForm1: tool bar, filter strip, result list, bottom panel and status bar,
// driving the commands. It owns the commands, and with them the run, for its whole life.
class TForm1 final : private WindowView, private TrayWindowView {
public:
    TForm1(HINSTANCE instance, HWND application);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    HWND handle() const { return window_; }
    // Shows the window and loads the database (the reminder or error box shows over it).
    void Show(int show_command);
    // Imports the list at path (UTF-8) as Import would, without a dialog.
    void ImportFile(const std::string& path);
    // Routes dialog keys (Tab between controls) for the window; true when msg was one.
    bool PreTranslate(MSG& msg);

private:
    LRESULT Handle(UINT message, WPARAM w, LPARAM l);

    void BuildControls();
    void ApplyScale();
    void Layout();
    void Paint(HDC dc, const RECT& update);
    void OnCommand(int id);
    // The tray's hide and show commands, and the minimise hook.
    void N17Click();
    void N18Click();
    void Minimise();
    void ShowAbout();
    void ShowStatistics();
    void ShowTrayMenu();
    void CopySelectedRows();
    // Has the pointer's shape asked for again, now.
    void RefreshPointer();

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

    // TrayWindowView
    void SetTrayItemEnabled(TrayItem item, bool enabled) override;
    void HideMainWindow() override;
    void ShowMainWindow() override;
    bool StatisticsShown() const override;
    void HideStatistics() override;
    void StatisticsComeBack() override;

    HINSTANCE instance_;
    HWND application_;
    HWND window_ = nullptr;
    DpiScale scale_;
    HFONT font_ = nullptr;
    HBRUSH memo_brush_ = nullptr;
    HWND tooltip_ = nullptr;
    // The speed buttons and the labels, drawn by this window.
    std::unique_ptr<GraphicControls> graphic_;
    std::array<HWND, 4> boxes_{};
    HWND memo_ = nullptr;
    HWND progress_ = nullptr;
    HWND status_ = nullptr;
    Picture image1_, image2_;
    bool timer_running_ = false;
    bool busy_pointer_ = false;  // an export or a merge
    bool copy_pointer_ = false;  // a copy's text being built
    int progress_maximum_ = 100;
    HMENU tray_menu_ = nullptr;
    std::unique_ptr<TrayWindowLogic> tray_window_;

    std::unique_ptr<CommandDialogs> dialogs_;
    std::unique_ptr<BackgroundThread> work_;
    std::unique_ptr<RowCopy> copy_rows_;
    std::unique_ptr<PostedWaker> waker_;
    std::unique_ptr<TTaskbarIcon> tray_;
    std::unique_ptr<TForm2> about_;
    std::unique_ptr<StatisticsWindow> statistics_;
    std::unique_ptr<ResultListView> list_;
    // Last, so that it goes first: its run's worker may still report to the members above.
    std::unique_ptr<WindowCommands> commands_;
};

}  // namespace haojian::win32
