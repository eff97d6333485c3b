#pragma once

#include <windows.h>

namespace haojian {

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

}  // namespace haojian
