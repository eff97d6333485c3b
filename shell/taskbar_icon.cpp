#include "shell/taskbar_icon.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QWidget>

#include <algorithm>

namespace haojian {
namespace {

bool IsGbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool IsGbkTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// The longest prefix of at most limit bytes that does not end inside a double-byte
// character.
std::string_view GbkPrefix(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = 0;
    while (end < limit) {
        const auto byte = static_cast<unsigned char>(text[end]);
        const bool pair = IsGbkLeadByte(byte) && end + 1 < text.size() &&
                          IsGbkTrailByte(static_cast<unsigned char>(text[end + 1]));
        const std::size_t next = end + (pair ? 2 : 1);
        if (next > limit) break;
        end = next;
    }
    return text.substr(0, end);
}

ShiftState KeysHeldNow() {
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    ShiftState shift;
    if (keys & Qt::ShiftModifier) shift |= ShiftStateFlag::Shift;
    if (keys & Qt::ControlModifier) shift |= ShiftStateFlag::Ctrl;
    if (keys & Qt::AltModifier) shift |= ShiftStateFlag::Alt;
    return shift;
}

}  // namespace

TTaskbarIcon::TTaskbarIcon(QObject* owner, NotifyIconShell& shell) : QObject(owner), shell_(shell) {
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
    if (id == icon_id_) return;
    const bool was_visible = visible_;
    SetVisible(false);
    icon_id_ = id;
    SetVisible(was_visible);
}

void TTaskbarIcon::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (visible)
        ShowIcon();
    else
        HideIcon();
}

void TTaskbarIcon::SetEnabled(bool enabled) {
    enabled_ = enabled;
}

void TTaskbarIcon::SetHint(std::string_view hint) {
    hint_ = std::string(GbkPrefix(hint, kMaxHintBytes));
    UpDate();
}

void TTaskbarIcon::SetPopupMenu(QMenu* menu) {
    QObject::disconnect(popup_menu_watch_);
    popup_menu_ = menu;
    if (menu)
        popup_menu_watch_ =
            connect(menu, &QObject::destroyed, this, [this](QObject* gone) { Notification(gone); });
}

void TTaskbarIcon::Loaded() {
    if (visible_) ShowIcon();
}

void TTaskbarIcon::Notification(QObject* component) {
    // By the time destroyed() arrives the guarded pointer may already read null.
    if (popup_menu_.isNull() || component == static_cast<QObject*>(popup_menu_.data())) {
        popup_menu_ = nullptr;
        QObject::disconnect(popup_menu_watch_);
    }
}

std::intptr_t TTaskbarIcon::WndProc(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    if (message != kCallbackMessage || !enabled_) return DefWindowProc(message, wparam, lparam);

    const QPoint at = QCursor::pos();
    const ShiftState shift = KeysHeldNow();
    // A menu command run from the popup may end the owner and this component with it.
    const QPointer<TTaskbarIcon> alive(this);
    switch (static_cast<unsigned>(lparam)) {
        case message::kLeftButtonDown:
            left_button_pressed_ = true;
            MouseDown(Qt::LeftButton, shift | ShiftStateFlag::Left, at.x(), at.y());
            break;
        case message::kLeftButtonUp:
            MouseUp(Qt::LeftButton, shift | ShiftStateFlag::Left, at.x(), at.y());
            if (alive && left_button_pressed_) Click();
            if (alive) left_button_pressed_ = false;
            break;
        case message::kLeftButtonDoubleClick:
            // Not a press: the release that follows gives no second Click.
            DblClick();
            break;
        case message::kRightButtonDown:
            // Qt's popup menu takes the pointer itself, so the message window need not come
            // to the foreground before it.
            MouseDown(Qt::RightButton, shift | ShiftStateFlag::Right, at.x(), at.y());
            break;
        case message::kRightButtonUp:
            PopupAtCursor();
            if (alive) MouseUp(Qt::RightButton, shift | ShiftStateFlag::Right, at.x(), at.y());
            break;
        default:
            break;
    }
    return 0;
}

std::intptr_t TTaskbarIcon::DefWindowProc(unsigned, std::uintptr_t, std::intptr_t) {
    return 0;
}

void TTaskbarIcon::FillIconData() {
    icon_data_.cbSize = NotifyIconData::kRecordSize;
    icon_data_.hWnd = message_window_.get();
    icon_data_.uID = static_cast<std::uint32_t>(icon_id_);
    icon_data_.uFlags = icon_flags_;
    icon_data_.uCallbackMessage = kCallbackMessage;
    icon_data_.hIcon = icon_;
    icon_data_.szTip.fill('\0');
    const std::size_t length = std::min(hint_.size(), icon_data_.szTip.size() - 1);
    std::copy_n(hint_.data(), length, icon_data_.szTip.data());
}

void TTaskbarIcon::CallShell(NotifyIconCommand command, const char* step) {
    try {
        FillIconData();
        // The notification area's answer is not needed: a refused call leaves no trace.
        (void)shell_.NotifyIcon(command, icon_data_);
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
    icon_flags_ |= kNotifyIconIcon;
    AddToTaskbar();
    visible_ = true;
    if (OnShow) OnShow(this);
}

void TTaskbarIcon::HideIcon() {
    icon_flags_ &= ~kNotifyIconIcon;
    DeleteFromTaskbar();
    visible_ = false;
    if (OnHide) OnHide(this);
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
