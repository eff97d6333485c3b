#pragma once

#include <windows.h>

namespace haojian::win32 {

// The controls a window draws itself have no window handle for tools to find. The window
// answers this registered message for them: wParam the control's index (0, 1, ...), lParam
// the address, in the window's process, of a GraphicControlInfo to fill. The result is 1 when
// there is such a control, else 0.
inline constexpr wchar_t kGraphicControlMessage[] = L"HaojianGraphicControl";

struct GraphicControlInfo {
    int id;
    int enabled;
    RECT rect;  // in the window's client coordinates
    wchar_t class_name[16];
    wchar_t text[64];
};

}  // namespace haojian::win32
