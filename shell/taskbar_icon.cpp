#include "shell/taskbar_icon.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QWidget>

#include <algorithm>

namespace haojian {
namespace {

ShiftState KeysHeldNow() {
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    ShiftState shift;
    if (keys & Qt::ShiftModifier) shift |= ShiftStateFlag::Shift;
    if (keys & Qt::ControlModifier) shift |= ShiftStateFlag::Ctrl;
    if (keys & Qt::AltModifier) shift |= ShiftStateFlag::Alt;
    return shift;
}

}  // namespace

// The logic's platform steps, in the component's own virtual operations.
class TTaskbarIcon::Steps final : public TaskbarIconPlatform {
public:
    explicit Steps(TTaskbarIcon& icon) : icon_(icon) {}

    bool NotifyIcon(NotifyIconCommand command) override {
        switch (command) {
            case NotifyIconCommand::Add:
                icon_.AddToTaskbar();
                break;
            case NotifyIconCommand::Modify:
                icon_.UpDate();
                break;
            case NotifyIconCommand::Delete:
                icon_.DeleteFromTaskbar();
                break;
        }
        return icon_.accepted_;
    }
    void MouseDown(TrayButton button) override {
        // Qt's popup menu takes the pointer itself, so the message window need not come to
        // the foreground before it.
        icon_.MouseDown(QtButton(button), icon_.shift_ | Held(button), icon_.at_.x(),
                        icon_.at_.y());
    }
    void MouseUp(TrayButton button) override {
        icon_.MouseUp(QtButton(button), icon_.shift_ | Held(button), icon_.at_.x(), icon_.at_.y());
    }
    void Click() override { icon_.Click(); }
    void DblClick() override { icon_.DblClick(); }
    void PopupAtCursor() override { icon_.PopupAtCursor(); }
    void Shown() override {
        if (icon_.OnShow) icon_.OnShow(&icon_);
    }
    void Hidden() override {
        if (icon_.OnHide) icon_.OnHide(&icon_);
    }

private:
    static Qt::MouseButton QtButton(TrayButton button) {
        return button == TrayButton::Left ? Qt::LeftButton : Qt::RightButton;
    }
    static ShiftStateFlag Held(TrayButton button) {
        return button == TrayButton::Left ? ShiftStateFlag::Left : ShiftStateFlag::Right;
    }

    TTaskbarIcon& icon_;
};

TTaskbarIcon::TTaskbarIcon(QObject* owner, NotifyIconShell& shell)
    : QObject(owner), shell_(shell), steps_(std::make_unique<Steps>(*this)), logic_(*steps_) {
    message_window_ = std::make_unique<MessageWindow>(
        [this](unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
            return WndProc(message, wparam, lparam);
        });
}

TTaskbarIcon::~TTaskbarIcon() {
    // A destructor must not throw: a removal that fails here leaves nothing to repair.
    try {
        SetVisible(false);
    } catch (const ETaskbarIcon&) {
    }
    message_window_.reset();
}

void TTaskbarIcon::SetIcon(const QIcon& icon) {
    icon_ = icon;
    UpDate();
}

void TTaskbarIcon::SetIconID(int id) {
    logic_.SetIconID(id);
}

void TTaskbarIcon::SetVisible(bool visible) {
    logic_.SetVisible(visible);
}

void TTaskbarIcon::SetEnabled(bool enabled) {
    logic_.SetEnabled(enabled);
}

void TTaskbarIcon::SetHint(std::string_view hint) {
    logic_.SetHint(hint);
}

void TTaskbarIcon::SetPopupMenu(QMenu* menu) {
    QObject::disconnect(popup_menu_watch_);
    popup_menu_ = menu;
    if (menu)
        popup_menu_watch_ =
            connect(menu, &QObject::destroyed, this, [this](QObject* gone) { Notification(gone); });
}

void TTaskbarIcon::Loaded() {
    logic_.Loaded();
}

void TTaskbarIcon::Notification(QObject* component) {
    // By the time destroyed() arrives the guarded pointer may already read null.
    if (popup_menu_.isNull() || component == static_cast<QObject*>(popup_menu_.data())) {
        popup_menu_ = nullptr;
        QObject::disconnect(popup_menu_watch_);
    }
}

std::intptr_t TTaskbarIcon::WndProc(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    if (message != kCallbackMessage || !logic_.Enabled())
        return DefWindowProc(message, wparam, lparam);
    at_ = QCursor::pos();
    shift_ = KeysHeldNow();
    logic_.Mouse(static_cast<unsigned>(lparam));
    return 0;
}

std::intptr_t TTaskbarIcon::DefWindowProc(unsigned, std::uintptr_t, std::intptr_t) {
    return 0;
}

void TTaskbarIcon::FillIconData() {
    icon_data_.cbSize = NotifyIconData::kRecordSize;
    icon_data_.hWnd = message_window_.get();
    icon_data_.uID = static_cast<std::uint32_t>(logic_.IconID());
    icon_data_.uFlags = logic_.IconFlags();
    icon_data_.uCallbackMessage = kCallbackMessage;
    icon_data_.hIcon = icon_;
    icon_data_.szTip.fill('\0');
    const std::string& hint = logic_.Hint();
    const std::size_t length = std::min(hint.size(), icon_data_.szTip.size() - 1);
    std::copy_n(hint.data(), length, icon_data_.szTip.data());
}

void TTaskbarIcon::CallShell(NotifyIconCommand command, const char* step) {
    try {
        FillIconData();
        accepted_ = shell_.NotifyIcon(command, icon_data_);
    } catch (...) {
        std::string text = objectName().toStdString();
        text += '.';
        text += step;
        text += " failed";
        throw ETaskbarIcon(std::move(text));
    }
}

void TTaskbarIcon::AddToTaskbar() {
    CallShell(NotifyIconCommand::Add, "AddToTaskbar");
}
void TTaskbarIcon::UpDate() {
    CallShell(NotifyIconCommand::Modify, "UpDate");
}
void TTaskbarIcon::DeleteFromTaskbar() {
    CallShell(NotifyIconCommand::Delete, "DeleteFromTaskbar");
}

void TTaskbarIcon::MouseDown(Qt::MouseButton button, ShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TTaskbarIcon::MouseUp(Qt::MouseButton button, ShiftState shift, int x, int y) {
    // The owner's window comes forward when it is on screen; hidden in the tray it stays so.
    if (auto* owner = qobject_cast<QWidget*>(parent())) {
        QWidget* window = owner->window();
        if (window->isVisible()) window->activateWindow();
    }
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TTaskbarIcon::Click() {
    if (OnClick) OnClick(this);
}

void TTaskbarIcon::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TTaskbarIcon::ShowIcon() {
    logic_.ShowIcon();
}

void TTaskbarIcon::HideIcon() {
    logic_.HideIcon();
}

void TTaskbarIcon::PopupAtCursor() {
    if (popup_menu_.isNull()) return;
    const QPointer<TTaskbarIcon> alive(this);
    popup_menu_->exec(QCursor::pos());
    if (!alive) return;
    message_window_->Post(message::kNull, 0, 0);
    if (OnPopupMenu) OnPopupMenu(this);
}

}  // namespace haojian
