#include "win32/message_box.h"

#include <commctrl.h>

#include "win32/wide_text.h"
#include "window/window_texts.h"

namespace haojian::win32 {
namespace {

// The hook that renames the buttons lives for one box on one thread: the box runs its own
// message loop, so the hook must find its state without an argument.
thread_local HHOOK box_hook = nullptr;

LRESULT CALLBACK EscapeAnswersNo(HWND box, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    // A Yes/No box ignores Escape (IDCANCEL); here it answers No.
    if (message == WM_COMMAND && LOWORD(w) == IDCANCEL && GetDlgItem(box, IDNO)) {
        EndDialog(box, IDNO);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, EscapeAnswersNo, 1);
    return DefSubclassProc(box, message, w, l);
}

LRESULT CALLBACK OnBoxCreated(int code, WPARAM w, LPARAM l) {
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(w);
        SetDlgItemTextW(box, IDOK, Wide(window_text::kOkButton).c_str());
        SetDlgItemTextW(box, IDYES, Wide(window_text::kYesButton).c_str());
        SetDlgItemTextW(box, IDNO, Wide(window_text::kNoButton).c_str());
        SetWindowSubclass(box, EscapeAnswersNo, 1, 0);
        const HHOOK hook = box_hook;
        box_hook = nullptr;
        UnhookWindowsHookEx(hook);
        return 0;
    }
    return CallNextHookEx(nullptr, code, w, l);
}

}  // namespace

Answer ShowMessageBox(HWND owner, const MessageBoxRequest& request) {
    UINT style = MB_OK;
    switch (request.kind) {
        case BoxKind::Plain:
            style = MB_OK;
            break;
        case BoxKind::Confirm:
            style = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1;
            break;
        case BoxKind::Error:
            style = MB_OK | MB_ICONSTOP;
            break;
    }
    // Owned by a hidden window, a box would go behind others: then it stands alone on top.
    if (!owner || !IsWindowVisible(owner)) {
        owner = nullptr;
        style |= MB_TOPMOST;
    }
    box_hook = SetWindowsHookExW(WH_CBT, OnBoxCreated, nullptr, GetCurrentThreadId());
    const std::wstring caption = Wide(request.caption);
    const std::wstring text = Wide(request.text);
    const int answer = MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    if (box_hook) {
        UnhookWindowsHookEx(box_hook);
        box_hook = nullptr;
    }
    if (request.kind != BoxKind::Confirm) return Answer::Ok;
    return answer == IDYES ? Answer::Yes : Answer::No;
}

}  // namespace haojian::win32
