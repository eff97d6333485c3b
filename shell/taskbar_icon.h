#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/base/error.h"
#include "shell/notify_icon_shell.h"
#include "window/taskbar_icon_logic.h"

namespace haojian {

// The error of the tray icon component; its message names the component and the step.
class ETaskbarIcon : public Error {
public:
    using Error::Error;
};

// The keys and buttons held while a mouse event happened.
enum class ShiftStateFlag : unsigned {
    Shift = 0x01,
    Alt = 0x02,
    Ctrl = 0x04,
    Left = 0x08,
    Right = 0x10,
    Middle = 0x20,
};
Q_DECLARE_FLAGS(ShiftState, ShiftStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ShiftState)

// A non-visual component that keeps one icon in the desktop's notification area and turns
// the clicks on it into events. Name is the QObject's objectName; the owner is its parent.
//
// The icon is added when Visible becomes true (or by Loaded when it was set while the owner
// was being built) and removed when Visible becomes false or the component goes. What a click
// and a change of visibility do is TaskbarIconLogic's; this class gives it Qt's pointer, keys,
// menu and the notification area behind NotifyIconShell.
class TTaskbarIcon : public QObject {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(QObject* sender)>;
    using MouseEvent = std::function<void(QObject* sender, Qt::MouseButton button, ShiftState shift,
                                          int x, int y)>;

    // The callback message the notification area sends to the message window.
    static constexpr unsigned kCallbackMessage = message::kUser + 1;
    static constexpr std::size_t kMaxHintBytes = TaskbarIconLogic::kMaxHintBytes;

    TTaskbarIcon(QObject* owner, NotifyIconShell& shell);
    ~TTaskbarIcon() override;
    TTaskbarIcon(const TTaskbarIcon&) = delete;
    TTaskbarIcon& operator=(const TTaskbarIcon&) = delete;

    const QIcon& Icon() const { return icon_; }
    int IconID() const { return logic_.IconID(); }
    bool Visible() const { return logic_.Visible(); }
    bool Enabled() const { return logic_.Enabled(); }
    // GBK bytes.
    const std::string& Hint() const { return logic_.Hint(); }
    QMenu* PopupMenu() const { return popup_menu_; }

    virtual void SetIcon(const QIcon& icon);
    virtual void SetIconID(int id);
    virtual void SetVisible(bool visible);
    virtual void SetEnabled(bool enabled);
    // Keeps at most 63 bytes of the GBK text.
    virtual void SetHint(std::string_view hint);
    void SetPopupMenu(QMenu* menu);

    // The owner calls this once it has finished building its components.
    virtual void Loaded();

    // The record as the last shell call saw it, and the flags the next one will carry.
    const NotifyIconData& IconData() const { return icon_data_; }
    std::uint32_t IconFlags() const { return logic_.IconFlags(); }
    MessageWindow& Window() const { return *message_window_; }

    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    NotifyEvent OnPopupMenu;
    NotifyEvent OnShow;
    NotifyEvent OnHide;

protected:
    virtual std::intptr_t WndProc(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);
    virtual void FillIconData();
    virtual void AddToTaskbar();
    virtual void DeleteFromTaskbar();
    virtual void MouseDown(Qt::MouseButton button, ShiftState shift, int x, int y);
    virtual void MouseUp(Qt::MouseButton button, ShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void UpDate();
    virtual void ShowIcon();
    virtual void HideIcon();
    virtual void PopupAtCursor();
    // Messages the component does not handle.
    virtual std::intptr_t DefWindowProc(unsigned message, std::uintptr_t wparam,
                                        std::intptr_t lparam);
    // A component is going away: forget it when it is the popup menu.
    virtual void Notification(QObject* component);

private:
    class Steps;

    // Fills the record and makes one shell call; any failure becomes an ETaskbarIcon that
    // names the component and the step.
    void CallShell(NotifyIconCommand command, const char* step);

    NotifyIconShell& shell_;
    QIcon icon_;
    // The shell's answer to the last call.
    bool accepted_ = false;
    // Where the pointer was and which keys were held when the current click arrived.
    QPoint at_;
    ShiftState shift_;
    std::unique_ptr<Steps> steps_;
    TaskbarIconLogic logic_;
    QPointer<QMenu> popup_menu_;
    QMetaObject::Connection popup_menu_watch_;
    NotifyIconData icon_data_;
    std::unique_ptr<MessageWindow> message_window_;
};

}  // namespace haojian
