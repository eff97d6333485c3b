#pragma once

// windows.h first: shellapi.h builds on it.
#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>

namespace haojian::win32 {

// The notification-area icon: a hidden window of its own receives the shell's callback
// message 1025 and turns a left press and release into a click and a right release into the
// popup menu. A disabled icon ignores every click; the icon is added when made visible, removed
// when hidden or destroyed, and added again when Explorer restarts.
class TaskbarIcon {
public:
    using Notify = std::function<void()>;

    // application: the top-level window brought to the foreground on a release.
    TaskbarIcon(HINSTANCE instance, HWND application);
    ~TaskbarIcon();
    TaskbarIcon(const TaskbarIcon&) = delete;
    TaskbarIcon& operator=(const TaskbarIcon&) = delete;

    // The icon shown; it must outlive the tray icon.
    void SetIcon(HICON icon);
    void SetIconId(UINT id);
    void SetVisible(bool visible);
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    // Cut to what the record holds (63 characters).
    void SetHint(std::wstring hint);
    void SetPopupMenu(Notify popup) { popup_ = std::move(popup); }
    void SetOnClick(Notify click) { on_click_ = std::move(click); }

    bool Visible() const { return visible_; }
    const std::wstring& Hint() const { return hint_; }
    // True while the shell holds the icon: there is a notification area to hide the window in.
    bool Docked() const { return docked_; }
    HWND MessageWindow() const { return window_; }

    static constexpr UINT kCallbackMessage = WM_USER + 1;

private:
    LRESULT WndProc(UINT message, WPARAM w, LPARAM l);
    NOTIFYICONDATAW FillIconData() const;
    void AddToTaskbar();
    // The notification area (re)started (TaskbarCreated, broadcast to top-level windows): a
    // shown icon is added again, or kept when the area still holds it.
    void Readd();
    void UpDate();
    void DeleteFromTaskbar();

    HWND application_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    UINT id_ = 0;
    UINT flags_ = NIF_MESSAGE | NIF_TIP;
    bool visible_ = false;
    bool enabled_ = true;
    bool docked_ = false;
    bool left_pressed_ = false;
    std::wstring hint_;
    Notify popup_, on_click_;
    UINT taskbar_created_ = 0;
};

}  // namespace haojian::win32
