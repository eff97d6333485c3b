#pragma once

namespace haojian {

// The tray menu's two items that follow the main window's state: N17 shows the window, N18
// hides it to the tray.
enum class TrayItem { Show, Hide };

// What the tray's window commands change in a main window and its statistics window. Every
// call comes on the UI thread.
class TrayWindowView {
public:
    virtual ~TrayWindowView() = default;
    virtual void SetTrayItemEnabled(TrayItem item, bool enabled) = 0;
    // Hides the main window and its task-bar entry.
    virtual void HideMainWindow() = 0;
    // Brings the task-bar entry back and shows the main window, restored when it was minimised,
    // in front.
    virtual void ShowMainWindow() = 0;
    virtual bool StatisticsShown() const = 0;
    virtual void HideStatistics() = 0;
    // Shows the statistics window again, raised above the main window.
    virtual void StatisticsComeBack() = 0;
};

// The main window's two tray commands, for both windows: exactly one of N17 and N18 is
// enabled, N17 while the window is hidden, N18 while it is shown; an open statistics window
// leaves with the main window and comes back with it, in front.
class TrayWindowLogic {
public:
    explicit TrayWindowLogic(TrayWindowView& view) : view_(view) {}

    // Hides the window to the tray.
    void N18Click();
    // Shows the window.
    void N17Click();
    // Hides an open statistics window, remembering it for N17Click (the main window goes).
    void HideStatistics();

private:
    TrayWindowView& view_;
    bool statistics_away_ = false;
};

}  // namespace haojian
