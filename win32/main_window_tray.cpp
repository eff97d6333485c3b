// The main window's part in the tray: hiding into it, coming back, the icon's menu.
#include "win32/main_window.h"

#include "win32/statistics_window.h"
#include "win32/taskbar_icon.h"

namespace haojian::win32 {

void TForm1::N18Click() {
    tray_window_->N18Click();
}

void TForm1::N17Click() {
    tray_window_->N17Click();
}

void TForm1::SetTrayItemEnabled(TrayItem item, bool enabled) {
    EnableMenuItem(tray_menu_, item == TrayItem::Show ? kIdN17 : kIdN18,
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void TForm1::HideMainWindow() {
    ShowWindow(application_, SW_HIDE);
    ShowWindow(window_, SW_HIDE);
}

void TForm1::ShowMainWindow() {
    ShowWindow(application_, SW_SHOW);
    if (IsIconic(application_)) ShowWindow(application_, SW_RESTORE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

bool TForm1::StatisticsShown() const {
    return statistics_ && IsWindowVisible(statistics_->handle());
}

void TForm1::HideStatistics() {
    ShowWindow(statistics_->handle(), SW_HIDE);
}

void TForm1::StatisticsComeBack() {
    if (statistics_) statistics_->ComeBack();
}

void TForm1::Minimise() {
    // The application minimises: the main window goes, with the statistics window, and the
    // task-bar entry stays minimised.
    tray_window_->HideStatistics();
    ShowWindow(window_, SW_HIDE);
    ShowWindow(application_, SW_MINIMIZE);
    // Then into the tray, when there is one to come back from.
    if (tray_ && tray_->Docked()) N18Click();
}

void TForm1::ShowTrayMenu() {
    POINT at{};
    GetCursorPos(&at);
    const UINT chosen =
        UINT(TrackPopupMenu(tray_menu_, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
                            0, tray_->MessageWindow(), nullptr));
    PostMessageW(tray_->MessageWindow(), WM_NULL, 0, 0);
    if (chosen) PostMessageW(window_, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

}  // namespace haojian::win32
