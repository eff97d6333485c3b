#pragma once

// windows.h first: shellapi.h builds on it.
#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>
#include <string_view>

#include "window/taskbar_icon_logic.h"

namespace haojian::win32 {

// The notification-area icon: a hidden window of its own receives the shell's callback
// message 1025 and the news that the notification area restarted (TaskbarCreated), and hands
// both to TaskbarIconLogic, which decides what a click and a change of visibility do.
class TTaskbarIcon final : private TaskbarIconPlatform {
public:
    using Notify = std::function<void()>;

    // application: the top-level window brought to the foreground on a release.
    TTaskbarIcon(HINSTANCE instance, HWND application);
    ~TTaskbarIcon() override;
    TTaskbarIcon(const TTaskbarIcon&) = delete;
    TTaskbarIcon& operator=(const TTaskbarIcon&) = delete;

    // The icon shown; it must outlive the tray icon.
    void SetIcon(HICON icon);
    void SetIconID(UINT id) { logic_.SetIconID(int(id)); }
    void SetVisible(bool visible) { logic_.SetVisible(visible); }
    void SetEnabled(bool enabled) { logic_.SetEnabled(enabled); }
    // GBK bytes, cut to what the record holds (63 bytes).
    void SetHint(std::string_view gbk_hint) { logic_.SetHint(gbk_hint); }
    void SetPopupMenu(Notify popup) { popup_ = std::move(popup); }
    void SetOnClick(Notify click) { on_click_ = std::move(click); }

    bool Visible() const { return logic_.Visible(); }
    // True while the shell holds the icon: there is a notification area to hide the window in.
    bool Docked() const { return logic_.Docked(); }
    HWND MessageWindow() const { return window_; }

    static constexpr UINT kCallbackMessage = WM_USER + 1;

private:
    LRESULT WndProc(UINT message, WPARAM w, LPARAM l);

    // TaskbarIconPlatform
    bool NotifyIcon(NotifyIconCommand command) override;
    void MouseDown(TrayButton button) override;
    void MouseUp(TrayButton button) override;
    void Click() override;
    void DblClick() override {}
    void PopupAtCursor() override;
    void Shown() override {}
    void Hidden() override {}

    HWND application_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    Notify popup_, on_click_;
    UINT taskbar_created_ = 0;
    TaskbarIconLogic logic_{*this};
};

}  // namespace haojian::win32
