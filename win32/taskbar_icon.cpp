#include "win32/taskbar_icon.h"
#include "win32/window_class.h"

#include <algorithm>

namespace haojian::win32 {
namespace {

constexpr wchar_t kClass[] = L"TTaskbarIconWindow";

}  // namespace

TaskbarIcon::TaskbarIcon(HINSTANCE instance, HWND application) : application_(application) {
    RegisterWindowClass(instance, kClass,
                        ObjectProcedure<TaskbarIcon, &TaskbarIcon::window_, &TaskbarIcon::WndProc>);
    // A hidden top-level window, not a message-only one: it must hear TaskbarCreated, which is
    // broadcast to top-level windows.
    window_ =
        CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
    taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
}

TaskbarIcon::~TaskbarIcon() {
    SetVisible(false);
    if (window_) DestroyWindow(window_);
}

LRESULT TaskbarIcon::WndProc(UINT message, WPARAM w, LPARAM l) {
    if (message == taskbar_created_ && taskbar_created_ != 0) {
        Readd();
        return 0;
    }
    if (message != kCallbackMessage || !enabled_) return DefWindowProcW(window_, message, w, l);
    switch (LOWORD(l)) {
        case WM_LBUTTONDOWN:
            left_pressed_ = true;
            break;
        case WM_LBUTTONUP:
            SetForegroundWindow(application_);
            if (left_pressed_ && on_click_) on_click_();
            left_pressed_ = false;
            break;
        case WM_RBUTTONDOWN:
            SetForegroundWindow(window_);
            break;
        case WM_RBUTTONUP:
            if (popup_) popup_();
            SetForegroundWindow(application_);
            break;
        default:
            break;
    }
    return 0;
}

NOTIFYICONDATAW TaskbarIcon::FillIconData() const {
    NOTIFYICONDATAW data{};
    // The record's first form: every shell knows it.
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window_;
    data.uID = id_;
    data.uFlags = flags_;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    hint_.copy(data.szTip, 63);
    return data;
}

void TaskbarIcon::AddToTaskbar() {
    NOTIFYICONDATAW data = FillIconData();
    docked_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void TaskbarIcon::UpDate() {
    NOTIFYICONDATAW data = FillIconData();
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TaskbarIcon::DeleteFromTaskbar() {
    NOTIFYICONDATAW data = FillIconData();
    Shell_NotifyIconW(NIM_DELETE, &data);
    docked_ = false;
}

void TaskbarIcon::Readd() {
    if (!visible_) return;
    AddToTaskbar();
    // The message also comes without a restart (another program broadcasts it): the icon is
    // still there, the add is refused, and the icon is docked as before.
    if (!docked_) {
        NOTIFYICONDATAW data = FillIconData();
        docked_ = Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    }
}

void TaskbarIcon::SetIcon(HICON icon) {
    icon_ = icon;
    UpDate();
}

void TaskbarIcon::SetIconId(UINT id) {
    if (id == id_) return;
    const bool was_visible = visible_;
    SetVisible(false);
    id_ = id;
    SetVisible(was_visible);
}

void TaskbarIcon::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (visible) {
        flags_ |= NIF_ICON;
        AddToTaskbar();
    } else {
        flags_ &= ~UINT(NIF_ICON);
        DeleteFromTaskbar();
    }
}

void TaskbarIcon::SetHint(std::wstring hint) {
    if (hint.size() > 63) hint.resize(63);
    hint_ = std::move(hint);
    UpDate();
}

}  // namespace haojian::win32
