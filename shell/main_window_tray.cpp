#include "shell/main_window_tray.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include "shell/application.h"
#include "shell/gbk_text.h"
#include "shell/main_window.h"
#include "shell/taskbar_icon.h"
#include "window/main_window_texts.h"

namespace haojian {
namespace {

// How often a window hidden in the tray checks that the tray is still there.
constexpr int kTrayWatchMs = 1000;

}  // namespace

MainWindowTray::MainWindowTray(QWidget* window, const QIcon& icon, const TrayCommands& commands,
                               NotifyIconShell& shell)
    : QObject(window),
      window_(window),
      shell_(shell),
      tray_watch_(new QTimer(this)),
      hidden_(commands.hidden),
      shown_(commands.shown) {
    setObjectName(QStringLiteral("MainWindowTray"));
    tray_watch_->setInterval(kTrayWatchMs);
    connect(tray_watch_, &QTimer::timeout, this, [this] {
        if (!shell_.Available()) N17Click();
    });

    popup_menu_ = new QMenu(window);
    popup_menu_->setObjectName(QStringLiteral("PopupMenu1"));
    n17_ = Item("N17", QtText(window_text::kTrayShowItem), [this] { N17Click(); });
    n18_ = Item("N18", QtText(window_text::kTrayHideItem), [this] { N18Click(); });
    Item("N19", QtText(window_text::kTrayContactItem), commands.contact);
    Item("N20", QtText(window_text::kTrayHomePageItem), commands.home_page);
    Item("N21", QtText(window_text::kTrayAboutItem), commands.about);
    popup_menu_->addSeparator()->setObjectName(QStringLiteral("N22"));
    Item("N23", QtText(window_text::kTrayExitItem), commands.exit);
    n17_->setEnabled(false);

    taskbar_icon_ = new TTaskbarIcon(window, shell);
    taskbar_icon_->setObjectName(QStringLiteral("TaskbarIcon1"));
    taskbar_icon_->SetIcon(icon);
    taskbar_icon_->SetVisible(true);
    taskbar_icon_->SetHint(ToGbk(ApplicationTitle()));
    taskbar_icon_->SetPopupMenu(popup_menu_);
    taskbar_icon_->OnClick = [this](QObject*) { N17Click(); };
    taskbar_icon_->Loaded();
}

MainWindowTray::~MainWindowTray() {
    // The icon's events call into this object: the icon goes first.
    delete taskbar_icon_.data();
    delete popup_menu_.data();
}

QAction* MainWindowTray::Item(const char* name, const QString& caption,
                              const std::function<void()>& run) {
    QAction* item = popup_menu_->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    // The command runs once the menu has closed and the icon's click handling is over, as a
    // menu command arrives after the menu in the message loop.
    if (run)
        connect(
            item, &QAction::triggered, this, [run] { run(); }, Qt::QueuedConnection);
    return item;
}

void MainWindowTray::N18Click() {
    n18_->setEnabled(false);
    n17_->setEnabled(true);
    // A hidden top-level window has no task-bar entry.
    window_->hide();
    if (hidden_) hidden_();
    tray_watch_->start();
}

void MainWindowTray::Minimised() {
    if (shell_.Available()) N18Click();
}

void MainWindowTray::N17Click() {
    tray_watch_->stop();
    n17_->setEnabled(false);
    n18_->setEnabled(true);
    if (window_->isMinimized())
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
    if (shown_) shown_();
}

MainWindowTray* AttachTray(TForm1& form, NotifyIconShell& shell) {
    TrayCommands commands;
    commands.contact = [&form] { form.N14Click(); };
    commands.home_page = [&form] { form.N20Click(); };
    commands.about = [&form] { form.N15Click(); };
    commands.exit = [&form] { form.N23Click(); };
    commands.hidden = [&form] { form.HiddenToTray(); };
    commands.shown = [&form] { form.ShownFromTray(); };
    auto* tray = new MainWindowTray(&form, ApplicationIcon(), commands, shell);
    // Hiding while the window system is still minimising the window would race with it.
    QObject::connect(&form, &TForm1::Minimised, tray, &MainWindowTray::Minimised,
                     Qt::QueuedConnection);
    QObject::connect(&form, &TForm1::BringBackRequested, tray, &MainWindowTray::N17Click);
    return tray;
}

}  // namespace haojian
