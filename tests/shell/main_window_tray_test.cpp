#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <string>

#include "shell/gbk_text.h"
#include "shell/main_window_tray.h"
#include "shell/taskbar_icon.h"
#include "tests/shell/support/fake_notify_icon_shell.h"
#include "tests/shell/support/window_harness.h"

using haojian::MainWindowTray;
using haojian::TrayCommands;
using haojian::TTaskbarIcon;
using haojian::testing::FakeNotifyIconShell;
namespace message = haojian::message;

namespace {

void ClickIcon(TTaskbarIcon& icon) {
    for (unsigned mouse : {message::kLeftButtonDown, message::kLeftButtonUp})
        icon.Window().Send(TTaskbarIcon::kCallbackMessage, 0, std::intptr_t(mouse));
}

QAction* Item(QWidget& window, const char* name) {
    return window.findChild<QAction*>(name);
}

// Exactly one of N17 and N18 is enabled, and it is the one that fits the window.
void VerifyItemsMatchWindow(QWidget& window) {
    QCOMPARE(Item(window, "N17")->isEnabled(), !window.isVisible());
    QCOMPARE(Item(window, "N18")->isEnabled(), window.isVisible());
}

}  // namespace

class MainWindowTrayTest : public QObject {
    Q_OBJECT

private slots:
    void IconAndMenuAsBuilt() {
        FakeNotifyIconShell shell;
        QWidget window;
        auto* tray = new MainWindowTray(&window, haojian::testing::SolidIcon(Qt::green), {}, shell);
        TTaskbarIcon& icon = tray->TaskbarIcon1();
        QCOMPARE(icon.objectName(), QString("TaskbarIcon1"));
        QVERIFY(icon.Visible());
        QCOMPARE(shell.Shown(), 1);
        const auto added = std::find_if(shell.calls.begin(), shell.calls.end(), [](auto& call) {
            return call.command == haojian::NotifyIconCommand::Add;
        });
        QVERIFY(added != shell.calls.end() && !added->data.hIcon.isNull());
        QCOMPARE(haojian::FromGbk(icon.Hint()), QString("【瓴岚号鉴】 V1.0"));
        QCOMPARE(icon.PopupMenu(), &tray->PopupMenu1());

        QStringList names;
        for (QAction* item : tray->PopupMenu1().actions()) names << item->objectName();
        QCOMPARE(names, QStringList({"N17", "N18", "N19", "N20", "N21", "N22", "N23"}));
        QVERIFY(Item(window, "N22")->isSeparator());

        // The icon leaves the notification area with the window.
        delete tray;
        QCOMPARE(shell.Shown(), 0);
        QCOMPARE(window.findChild<QMenu*>("PopupMenu1"), nullptr);
    }

    void MenuCommandsRunOnceTheMenuHasClosed() {
        FakeNotifyIconShell shell;
        QWidget window;
        std::string ran;
        TrayCommands commands;
        commands.contact = [&] { ran += "contact "; };
        commands.home_page = [&] { ran += "home "; };
        commands.about = [&] { ran += "about "; };
        commands.exit = [&] { ran += "exit "; };
        new MainWindowTray(&window, haojian::testing::SolidIcon(Qt::green), commands, shell);
        window.show();

        for (const char* name : {"N19", "N20", "N21", "N23", "N18"}) Item(window, name)->trigger();
        QVERIFY(ran.empty());
        QVERIFY(window.isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(ran, std::string("contact home about exit "));
        QVERIFY(window.isHidden());
        Item(window, "N17")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(window.isVisible());
        VerifyItemsMatchWindow(window);
    }

    void MinimiseClickAndExitOnTheMainWindow() {
        FakeNotifyIconShell shell;
        haojian::testing::WindowHarness harness;
        haojian::TForm1& form = harness.Open();
        MainWindowTray* tray = haojian::AttachTray(form, shell);
        form.show();

        form.showMinimized();
        QVERIFY(haojian::testing::PumpUntil([&] { return form.isHidden(); }, 5000));
        VerifyItemsMatchWindow(form);
        ClickIcon(tray->TaskbarIcon1());
        QVERIFY(form.isVisible());
        QVERIFY(!form.isMinimized());
        VerifyItemsMatchWindow(form);
        ClickIcon(tray->TaskbarIcon1());  // shown already: nothing changes
        QVERIFY(form.isVisible());
        VerifyItemsMatchWindow(form);

        // Exit from the tray asks the close question: No leaves the window in the tray, Yes
        // closes it, which ends the program even from there.
        tray->N18Click();
        harness.dialogs.confirm_answers = {haojian::Answer::No, haojian::Answer::Yes};
        QSignalSpy closed(&form, &haojian::TForm1::Closed);
        Item(form, "N23")->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(harness.dialogs.BoxesOf(haojian::BoxKind::Confirm).size(), std::size_t(1));
        QVERIFY(form.isHidden());
        QCOMPARE(closed.size(), 0);
        Item(form, "N23")->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(harness.dialogs.BoxesOf(haojian::BoxKind::Confirm).size(), std::size_t(2));
        QCOMPARE(closed.size(), 1);
    }

    // Without a notification area a minimised window stays minimised, with its task-bar entry;
    // hidden in a tray that goes away, it comes back.
    void MinimiseWithoutATray() {
        FakeNotifyIconShell shell;
        shell.available = false;
        haojian::testing::WindowHarness harness;
        haojian::TForm1& form = harness.Open();
        haojian::AttachTray(form, shell);
        form.show();
        form.showMinimized();
        QTest::qWait(100);
        QVERIFY(form.isVisible());
        QVERIFY(form.isMinimized());
        VerifyItemsMatchWindow(form);

        form.showNormal();
        shell.available = true;
        form.showMinimized();
        QVERIFY(haojian::testing::PumpUntil([&] { return form.isHidden(); }, 5000));
        shell.available = false;
        QVERIFY(haojian::testing::PumpUntil([&] { return form.isVisible(); }, 5000));
        QVERIFY(!form.isMinimized());
        VerifyItemsMatchWindow(form);
    }
};

QTEST_MAIN(MainWindowTrayTest)
#include "main_window_tray_test.moc"
