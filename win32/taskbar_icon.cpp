#include "win32/taskbar_icon.h"

#include "win32/wide_text.h"
#include "win32/window_class.h"

namespace haojian::win32 {
namespace {

constexpr wchar_t kClass[] = L"TTaskbarIconWindow";

}  // namespace

TTaskbarIcon::TTaskbarIcon(HINSTANCE instance, HWND application) : application_(application) {
    RegisterWindowClass(
        instance, kClass,
        ObjectProcedure<TTaskbarIcon, &TTaskbarIcon::window_, &TTaskbarIcon::WndProc>);
    // A hidden top-level window, not a message-only one: it must hear TaskbarCreated, which is
    // broadcast to top-level windows.
    window_ =
        CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
    taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
}

TTaskbarIcon::~TTaskbarIcon() {
    logic_.SetVisible(false);
    if (window_) DestroyWindow(window_);
}

LRESULT TTaskbarIcon::WndProc(UINT message, WPARAM w, LPARAM l) {
    if (message == taskbar_created_ && taskbar_created_ != 0) {
        logic_.AreaRestarted();
        return 0;
    }
    if (message == kCallbackMessage && logic_.Mouse(LOWORD(l))) return 0;
    return DefWindowProcW(window_, message, w, l);
}

bool TTaskbarIcon::NotifyIcon(NotifyIconCommand command) {
    NOTIFYICONDATAW data{};
    // The record's first form: every shell knows it.
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window_;
    data.uID = UINT(logic_.IconID());
    data.uFlags = logic_.IconFlags();
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    // The 63 bytes of GBK never make more than 63 UTF-16 units.
    WideFromGbk(logic_.Hint()).copy(data.szTip, 63);
    DWORD verb = NIM_MODIFY;
    if (command == NotifyIconCommand::Add) verb = NIM_ADD;
    if (command == NotifyIconCommand::Delete) verb = NIM_DELETE;
    return Shell_NotifyIconW(verb, &data) != FALSE;
}

void TTaskbarIcon::MouseDown(TrayButton button) {
    // The menu closes when the user clicks elsewhere only if its owner is in front.
    if (button == TrayButton::Right) SetForegroundWindow(window_);
}

void TTaskbarIcon::MouseUp(TrayButton) {
    SetForegroundWindow(application_);
}

void TTaskbarIcon::Click() {
    if (on_click_) on_click_();
}

void TTaskbarIcon::PopupAtCursor() {
    if (popup_) popup_();
}

void TTaskbarIcon::SetIcon(HICON icon) {
    icon_ = icon;
    logic_.UpDate();
}

}  // namespace haojian::win32
