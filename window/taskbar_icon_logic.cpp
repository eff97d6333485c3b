#include "window/taskbar_icon_logic.h"

namespace haojian {
namespace {

bool IsGbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool IsGbkTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

}  // namespace

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

void TaskbarIconLogic::SetIconID(int id) {
    if (id == icon_id_) return;
    const bool was_visible = visible_;
    SetVisible(false);
    icon_id_ = id;
    SetVisible(was_visible);
}

void TaskbarIconLogic::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (visible)
        ShowIcon();
    else
        HideIcon();
}

void TaskbarIconLogic::SetHint(std::string_view gbk_hint) {
    hint_ = std::string(GbkPrefix(gbk_hint, kMaxHintBytes));
    UpDate();
}

void TaskbarIconLogic::Loaded() {
    if (visible_) ShowIcon();
}

void TaskbarIconLogic::Add() {
    // A second add of an icon the area holds is refused: it stays docked.
    docked_ = platform_.NotifyIcon(NotifyIconCommand::Add) || docked_;
}

void TaskbarIconLogic::ShowIcon() {
    icon_flags_ |= kNotifyIconIcon;
    Add();
    visible_ = true;
    platform_.Shown();
}

void TaskbarIconLogic::HideIcon() {
    icon_flags_ &= ~kNotifyIconIcon;
    docked_ = false;
    platform_.NotifyIcon(NotifyIconCommand::Delete);
    visible_ = false;
    platform_.Hidden();
}

void TaskbarIconLogic::UpDate() {
    // The area's answer is not needed: a refused change (of an icon not shown) leaves no trace.
    (void)platform_.NotifyIcon(NotifyIconCommand::Modify);
}

void TaskbarIconLogic::AreaRestarted() {
    if (!visible_) return;
    docked_ = false;
    Add();
    // Refused: the area still holds the icon if it takes a change of it.
    if (!docked_) docked_ = platform_.NotifyIcon(NotifyIconCommand::Modify);
}

bool TaskbarIconLogic::Mouse(unsigned mouse_message) {
    if (!enabled_) return false;
    const std::weak_ptr<const bool> alive = alive_;
    switch (mouse_message) {
        case message::kLeftButtonDown:
            left_button_pressed_ = true;
            platform_.MouseDown(TrayButton::Left);
            break;
        case message::kLeftButtonUp:
            platform_.MouseUp(TrayButton::Left);
            if (alive.expired()) break;
            if (left_button_pressed_) platform_.Click();
            if (!alive.expired()) left_button_pressed_ = false;
            break;
        case message::kLeftButtonDoubleClick:
            // Not a press: the release that follows gives no second click.
            platform_.DblClick();
            break;
        case message::kRightButtonDown:
            platform_.MouseDown(TrayButton::Right);
            break;
        case message::kRightButtonUp:
            platform_.PopupAtCursor();
            if (!alive.expired()) platform_.MouseUp(TrayButton::Right);
            break;
        default:
            // Pointer moves and the middle button.
            break;
    }
    return true;
}

}  // namespace haojian
