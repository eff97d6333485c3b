#pragma once

#include <windows.h>

namespace haojian::win32 {

// The application's own top-level window, which owns the task-bar entry under the application
// title while the main window carries its own caption; hidden to leave only the tray icon.
// Restoring or closing the task-bar entry restores or closes the main window.
HWND CreateApplicationWindow(HINSTANCE instance);

}  // namespace haojian::win32
