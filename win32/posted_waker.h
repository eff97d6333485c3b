#pragma once

#include <windows.h>

#include "core/run/query_run.h"

namespace haojian::win32 {

// Messages the worker threads post to the main window.
inline constexpr UINT kHandOffMessage = WM_APP + 1;   // the query run's worker waits
inline constexpr UINT kWorkDoneMessage = WM_APP + 2;  // long work has ended; wParam its id
inline constexpr UINT kCopyDoneMessage = WM_APP + 3;  // a copy's text is built; wParam its id

// Wakes the UI thread: posts kHandOffMessage to the window, which runs the run's hand-off.
class PostedWaker final : public UiWaker {
public:
    explicit PostedWaker(HWND window) : window_(window) {}
    void Wake() override { PostMessageW(window_, kHandOffMessage, 0, 0); }

private:
    HWND window_;
};

}  // namespace haojian::win32
