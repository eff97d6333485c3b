// The main window's part in the tray: hiding into it, coming back, the icon's menu.
#include "win32/main_window.h"

#include <utility>

#include "win32/statistics_window.h"
#include "win32/taskbar_icon.h"

namespace haojian::win32 {

void MainWindow::N18Click() {
    EnableMenuItem(tray_menu_, kIdN18, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(tray_menu_, kIdN17, MF_BYCOMMAND | MF_ENABLED);
    ShowWindow(application_, SW_HIDE);
    HideWithStatistics();
}

void MainWindow::N17Click() {
    EnableMenuItem(tray_menu_, kIdN17, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(tray_menu_, kIdN18, MF_BYCOMMAND | MF_ENABLED);
    ShowWindow(application_, SW_SHOW);
    if (IsIconic(application_)) ShowWindow(application_, SW_RESTORE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    // The statistics window comes back with it, in front, where the user sees it.
    if (statistics_ && std::exchange(statistics_in_tray_, false)) statistics_->ComeBack();
}

void MainWindow::HideWithStatistics() {
    if (statistics_ && IsWindowVisible(statistics_->handle())) {
        statistics_in_tray_ = true;
        ShowWindow(statistics_->handle(), SW_HIDE);
    }
    ShowWindow(window_, SW_HIDE);
}

void MainWindow::Minimise() {
    // The application minimises: the main window goes, with the statistics window, and the
    // task-bar entry stays minimised.
    HideWithStatistics();
    ShowWindow(application_, SW_MINIMIZE);
    // Then into the tray, when there is one to come back from.
    if (tray_ && tray_->Docked()) N18Click();
}

void MainWindow::ShowTrayMenu() {
    POINT at{};
    GetCursorPos(&at);
    const UINT chosen =
        UINT(TrackPopupMenu(tray_menu_, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
                            0, tray_->MessageWindow(), nullptr));
    PostMessageW(tray_->MessageWindow(), WM_NULL, 0, 0);
    if (chosen) PostMessageW(window_, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

}  // namespace haojian::win32
