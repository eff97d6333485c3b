#pragma once

#include <windows.h>

#include "window/window_seams.h"

namespace haojian::win32 {

// Shows one of the application's three kinds of message box, owned by owner: the plain box (no
// icon, "确定"), the confirmation (question icon, "是[&Y]" the default and "否[&N]", Escape
// answering No) and the error box (stop icon, "确定"). The buttons carry these captions
// whatever the system's language.
Answer ShowMessageBox(HWND owner, const MessageBoxRequest& request);

}  // namespace haojian::win32
