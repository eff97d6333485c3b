#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>

#include <functional>

#include "shell/taskbar_icon.h"
#include "window/tray_window_logic.h"

class QAction;
class QTimer;
class QWidget;

namespace haojian {

class TForm1;

// The window commands that the tray menu reuses.
struct TrayCommands {
    std::function<void()> contact;    // N14Click
    std::function<void()> home_page;  // N20Click
    std::function<void()> about;      // N15Click
    std::function<void()> exit;       // N23Click
    // The statistics window, which goes to the tray and comes back with the window.
    std::function<bool()> statistics_shown;
    std::function<void()> hide_statistics;
    std::function<void()> statistics_come_back;
};

// The main window's tray icon TaskbarIcon1 and its menu PopupMenu1, with the two window
// commands: N18Click hides the window (and its task-bar entry) to the tray, N17Click brings
// it back. A click on the icon runs N17Click; a right click opens the menu. Exactly one of
// the menu items N17 and N18 is enabled: N17 while the window is hidden, N18 while shown.
//
// The icon and the menu are children of the window; this object removes them when it goes.
// The shell must outlive the icon.
class MainWindowTray : public QObject, private TrayWindowView {
    Q_OBJECT
public:
    MainWindowTray(QWidget* window, const QIcon& icon, const TrayCommands& commands,
                   NotifyIconShell& shell);
    ~MainWindowTray() override;

    TTaskbarIcon& TaskbarIcon1() const { return *taskbar_icon_; }
    QMenu& PopupMenu1() const { return *popup_menu_; }

public slots:
    void N17Click();  // show the window
    void N18Click();  // hide the window to the tray
    // The window was minimised: it goes to the tray while there is one; without one it stays
    // minimised with its task-bar entry, the only way back to it.
    void Minimised();

private:
    QAction* Item(const char* name, const QString& caption, const std::function<void()>& run);

    // TrayWindowView
    void SetTrayItemEnabled(TrayItem item, bool enabled) override;
    void HideMainWindow() override;
    void ShowMainWindow() override;
    bool StatisticsShown() const override;
    void HideStatistics() override;
    void StatisticsComeBack() override;

    QWidget* window_;
    NotifyIconShell& shell_;
    // While the window is hidden in the tray: brings it back should the tray go away.
    QTimer* tray_watch_;
    QPointer<QMenu> popup_menu_;
    QPointer<TTaskbarIcon> taskbar_icon_;
    QAction* n17_ = nullptr;
    QAction* n18_ = nullptr;
    TrayCommands commands_;
    TrayWindowLogic logic_{*this};
};

// Gives the main window its tray icon and menu: the menu runs the window's own contact, home
// page, About and exit commands, and a minimise of the window hides it to the tray while the
// desktop has one. The tray belongs to the window.
MainWindowTray* AttachTray(TForm1& form, NotifyIconShell& shell);

}  // namespace haojian
