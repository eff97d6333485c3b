#include "win32/application_window.h"

#include "win32/main_window.h"
#include "win32/pictures.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "window/window_texts.h"

namespace haojian::win32 {
namespace {

constexpr wchar_t kApplicationClass[] = L"TApplication";

LRESULT CALLBACK ApplicationProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_SYSCOMMAND:
            // Restored from the task bar: the main window comes back with it, as from the tray.
            if ((w & 0xFFF0) == SC_RESTORE) {
                const LRESULT result = DefWindowProcW(window, message, w, l);
                if (const HWND main = FindWindowExW(nullptr, nullptr, kMainWindowClass, nullptr);
                    main && GetWindow(main, GW_OWNER) == window) {
                    SendMessageW(main, WM_COMMAND, MAKEWPARAM(kIdN17, 0), 0);
                }
                return result;
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(w) != WA_INACTIVE) {
                if (const HWND popup = GetLastActivePopup(window); popup && popup != window)
                    SetFocus(popup);
            }
            return 0;
        case WM_CLOSE:
            // Closing the task-bar entry closes the main window, with its question.
            if (const HWND popup = GetLastActivePopup(window); popup && popup != window)
                PostMessageW(popup, WM_CLOSE, 0, 0);
            return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

}  // namespace

HWND CreateApplicationWindow(HINSTANCE instance) {
    RegisterWindowClass(instance, kApplicationClass, ApplicationProcedure,
                        {ApplicationIcon(SM_CXICON), ApplicationIcon(SM_CXSMICON)});
    const std::wstring title = Wide(window_text::kApplicationTitle);
    // A window of no size in the middle of the screen: only its task-bar entry shows.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    return CreateWindowExW(0, kApplicationClass, title.c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x,
                           y, 0, 0, nullptr, nullptr, instance, nullptr);
}

}  // namespace haojian::win32
