#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "shell/taskbar_icon.h"
#include "tests/shell/support/fake_notify_icon_shell.h"

using haojian::ETaskbarIcon;
using haojian::NotifyIconCommand;
using haojian::ShiftStateFlag;
using haojian::TTaskbarIcon;
using haojian::testing::FakeNotifyIconShell;
namespace message = haojian::message;

namespace {

// Counts what the component hands to the default window procedure.
class ProbeIcon : public TTaskbarIcon {
public:
    using TTaskbarIcon::TTaskbarIcon;
    int unhandled = 0;

protected:
    std::intptr_t DefWindowProc(unsigned m, std::uintptr_t w, std::intptr_t l) override {
        ++unhandled;
        return TTaskbarIcon::DefWindowProc(m, w, l);
    }
};

// What the tray sends for one mouse message on icon `id`.
void Tray(TTaskbarIcon& icon, unsigned mouse) {
    icon.Window().Send(TTaskbarIcon::kCallbackMessage, std::uintptr_t(icon.IconID()),
                       std::intptr_t(mouse));
}

}  // namespace

class TaskbarIconTest : public QObject {
    Q_OBJECT

private slots:
    void IconEntersOnLoadAndLeavesOnDestruction() {
        FakeNotifyIconShell shell;
        auto icon = std::make_unique<TTaskbarIcon>(nullptr, shell);
        icon->setObjectName("TaskbarIcon1");
        QVERIFY(shell.calls.empty());  // nothing is added by construction
        QCOMPARE(icon->IconFlags(), 5u);
        QVERIFY(!icon->Visible());
        QVERIFY(icon->Enabled());

        // Properties set while the owner is built: the modify calls are refused and harmless.
        icon->SetIcon(haojian::testing::SolidIcon(Qt::red));
        icon->SetHint("tip");
        QCOMPARE(shell.Shown(), 0);
        icon->SetVisible(true);
        icon->Loaded();  // a second add of the same icon is refused
        QCOMPARE(shell.Shown(), 1);
        QCOMPARE(icon->IconFlags(), 7u);

        const auto& added = shell.calls[2];
        QCOMPARE(added.command, NotifyIconCommand::Add);
        QCOMPARE(added.data.uFlags, 7u);
        QCOMPARE(added.Tip(), std::string("tip"));
        QVERIFY(!added.data.hIcon.isNull());

        // A new hint reaches the shown icon.
        icon->SetHint("new tip");
        QCOMPARE(shell.calls.back().command, NotifyIconCommand::Modify);
        QVERIFY(shell.calls.back().accepted);
        QCOMPARE(shell.calls.back().Tip(), std::string("new tip"));

        icon.reset();
        QCOMPARE(shell.calls.back().command, NotifyIconCommand::Delete);
        QVERIFY(shell.calls.back().accepted);
        QCOMPARE(shell.calls.back().data.uFlags, 5u);
        QCOMPARE(shell.Shown(), 0);
    }

    void DoubleClickGivesOneClickAndOneDblClick() {
        FakeNotifyIconShell shell;
        std::vector<std::string> seen;
        TTaskbarIcon icon(nullptr, shell);
        icon.OnMouseDown = [&](QObject* sender, Qt::MouseButton button, haojian::ShiftState shift,
                               int, int) {
            QCOMPARE(sender, &icon);
            QVERIFY(shift.testFlag(button == Qt::LeftButton ? ShiftStateFlag::Left
                                                            : ShiftStateFlag::Right));
            seen.push_back(button == Qt::LeftButton ? "down" : "rdown");
        };
        icon.OnMouseUp = [&](QObject*, Qt::MouseButton button, haojian::ShiftState, int, int) {
            seen.push_back(button == Qt::LeftButton ? "up" : "rup");
        };
        icon.OnClick = [&](QObject*) { seen.push_back("click"); };
        icon.OnDblClick = [&](QObject*) { seen.push_back("dblclick"); };
        icon.SetVisible(true);

        for (unsigned m : {message::kLeftButtonDown, message::kLeftButtonUp,
                           message::kLeftButtonDoubleClick, message::kLeftButtonUp})
            Tray(icon, m);
        QCOMPARE(seen, (std::vector<std::string>{"down", "up", "click", "dblclick", "up"}));

        // A release without a press before it is no click either; nor are pointer moves and
        // the middle button.
        seen.clear();
        for (unsigned m :
             {512u, message::kMiddleButtonDown, message::kMiddleButtonUp, message::kLeftButtonUp})
            Tray(icon, m);
        QCOMPARE(seen, (std::vector<std::string>{"up"}));
    }

    void DisabledIconIgnoresClicksAndOtherMessagesGoToTheDefault() {
        FakeNotifyIconShell shell;
        ProbeIcon icon(nullptr, shell);
        int clicks = 0;
        icon.OnClick = [&](QObject*) { ++clicks; };
        icon.SetVisible(true);

        icon.Window().Send(15, 0, 0);  // not the callback message
        QCOMPARE(icon.unhandled, 1);

        icon.SetEnabled(false);
        Tray(icon, message::kLeftButtonDown);
        Tray(icon, message::kLeftButtonUp);
        QCOMPARE(clicks, 0);
        QCOMPARE(icon.unhandled, 3);
        QCOMPARE(shell.Shown(), 1);  // the icon stays in place

        // The press that a disabled icon ignored is not remembered once it is enabled again.
        icon.SetEnabled(true);
        Tray(icon, message::kLeftButtonUp);
        QCOMPARE(clicks, 0);
        Tray(icon, message::kLeftButtonDown);
        Tray(icon, message::kLeftButtonUp);
        QCOMPARE(clicks, 1);
    }

    void NewIconIdReaddsAShownIconWithHideThenShow() {
        FakeNotifyIconShell shell;
        std::vector<std::string> events;  // outlives the icon, whose end fires OnHide
        TTaskbarIcon icon(nullptr, shell);
        icon.OnShow = [&](QObject*) { events.push_back("show"); };
        icon.OnHide = [&](QObject*) { events.push_back("hide"); };

        icon.SetIconID(3);  // hidden: no call at all
        QVERIFY(shell.calls.empty());
        QVERIFY(events.empty());

        icon.SetVisible(true);
        events.clear();
        shell.calls.clear();
        icon.SetIconID(3);  // unchanged
        QVERIFY(shell.calls.empty());
        icon.SetIconID(9);
        QCOMPARE(events, (std::vector<std::string>{"hide", "show"}));
        QCOMPARE(shell.calls.size(), std::size_t(2));
        QCOMPARE(shell.calls[0].command, NotifyIconCommand::Delete);
        QCOMPARE(shell.calls[0].data.uID, 3u);
        QCOMPARE(shell.calls[1].command, NotifyIconCommand::Add);
        QCOMPARE(shell.calls[1].data.uID, 9u);
        QVERIFY(shell.calls[1].accepted);
        QVERIFY(icon.Visible());
        QCOMPARE(shell.Shown(), 1);
    }

    void LongHintIsCutTo63Bytes() {
        FakeNotifyIconShell shell;
        TTaskbarIcon icon(nullptr, shell);
        icon.SetVisible(true);
        const std::string seventy(70, 'h');
        icon.SetHint(seventy);
        QCOMPARE(icon.Hint(), seventy.substr(0, 63));
        QCOMPARE(shell.calls.back().Tip(), seventy.substr(0, 63));

        // A double-byte character that the cut would halve is left out whole.
        const std::string chinese = std::string(62, 'h') + "\xD6\xD0" + "tail";  // 中
        icon.SetHint(chinese);
        QCOMPARE(icon.Hint(), std::string(62, 'h'));
        const std::string fits = std::string(61, 'h') + "\xD6\xD0" + "tail";
        icon.SetHint(fits);
        QCOMPARE(icon.Hint(), fits.substr(0, 63));
    }

    void RightClickPopsTheMenuUpAndAFreedMenuIsForgotten() {
        FakeNotifyIconShell shell;
        QWidget owner;
        TTaskbarIcon icon(&owner, shell);
        auto* menu = new QMenu(&owner);
        int chosen = 0;
        QAction* item = menu->addAction("Show");
        connect(item, &QAction::triggered, [&] { ++chosen; });
        icon.SetPopupMenu(menu);
        std::vector<std::string> seen;
        icon.OnMouseUp = [&](QObject*, Qt::MouseButton, haojian::ShiftState, int, int) {
            seen.push_back("up");
        };
        icon.OnPopupMenu = [&](QObject*) { seen.push_back("popup"); };
        icon.SetVisible(true);

        // Choose the first item of the menu once it is open.
        QTimer::singleShot(0, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            QVERIFY(popup == menu);
            seen.push_back("open");
            QTest::keyClick(popup, Qt::Key_Down);
            QTest::keyClick(popup, Qt::Key_Return);
        });
        Tray(icon, message::kRightButtonDown);
        Tray(icon, message::kRightButtonUp);
        QCOMPARE(seen, (std::vector<std::string>{"open", "popup", "up"}));
        QCOMPARE(chosen, 1);

        delete menu;
        QCOMPARE(icon.PopupMenu(), nullptr);
        seen.clear();
        Tray(icon, message::kRightButtonDown);
        Tray(icon, message::kRightButtonUp);
        QCOMPARE(seen, (std::vector<std::string>{"up"}));
    }

    void ShellFailuresNameTheComponentAndTheStep() {
        const auto message_of = [](NotifyIconCommand failing, auto step) -> std::string {
            FakeNotifyIconShell shell;
            TTaskbarIcon icon(nullptr, shell);
            icon.setObjectName("TaskbarIcon1");
            if (failing == NotifyIconCommand::Delete) icon.SetVisible(true);
            shell.ThrowOn(failing);
            try {
                step(icon);
            } catch (const ETaskbarIcon& error) {
                // The destructor then meets the same failure and must not throw.
                return std::string(error.message());
            }
            return "no error";
        };
        QCOMPARE(message_of(NotifyIconCommand::Add, [](TTaskbarIcon& i) { i.SetVisible(true); }),
                 std::string("TaskbarIcon1.AddToTaskbar failed"));
        QCOMPARE(message_of(NotifyIconCommand::Modify, [](TTaskbarIcon& i) { i.SetHint("x"); }),
                 std::string("TaskbarIcon1.UpDate failed"));
        QCOMPARE(
            message_of(NotifyIconCommand::Delete, [](TTaskbarIcon& i) { i.SetVisible(false); }),
            std::string("TaskbarIcon1.DeleteFromTaskbar failed"));
    }
};

QTEST_MAIN(TaskbarIconTest)
#include "taskbar_icon_test.moc"
