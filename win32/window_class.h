#pragma once

#include <windows.h>

namespace haojian::win32 {

// How the windows of a class look before they paint anything.
struct WindowClassLook {
    HICON icon = nullptr;
    HICON small_icon = nullptr;
    const wchar_t* cursor = IDC_ARROW;  // a system cursor
    HBRUSH background = nullptr;        // none: the window paints its whole area
};

// Registers a window class of this program; registering a name again changes nothing, so each
// window may register its class when it is made.
inline void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                                const WindowClassLook& look = {}) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = procedure;
    cls.hInstance = instance;
    cls.hIcon = look.icon;
    cls.hIconSm = look.small_icon;
    cls.hCursor = LoadCursorW(nullptr, look.cursor);
    cls.hbrBackground = look.background;
    cls.lpszClassName = name;
    RegisterClassExW(&cls);
}

// The object behind a window whose class procedure serves many objects: passed as
// CreateWindowExW's last argument, kept in the window's user data from WM_NCCREATE on. Null
// for the few messages that come before it.
template <class T>
T* WindowObject(HWND window, UINT message, LPARAM l) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(l)->lpCreateParams));
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The class procedure for windows with an object of T behind them: the object learns its
// window's handle (member Window) at WM_NCCREATE, before CreateWindowExW returns, and handles
// every message from then on (member Handle). Named inside T, it may name private members.
template <class T, HWND T::*Window, LRESULT (T::*Handle)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK ObjectProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    T* self = WindowObject<T>(window, message, l);
    if (!self) return DefWindowProcW(window, message, w, l);
    if (message == WM_NCCREATE) self->*Window = window;
    return (self->*Handle)(message, w, l);
}

}  // namespace haojian::win32
