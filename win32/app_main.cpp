// The Windows program haojian.exe: the application window, the main window and the message
// loop until the main window has closed.
// windows.h first: the other system headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <clocale>

#include "win32/dpi_scale.h"
#include "win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    using namespace haojian::win32;
    DeclareDpiAwareness();
    std::setlocale(LC_ALL, "");
    // The pictures' decoder (WIC) is a COM service.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                       ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    int exit_code = 0;
    {
        const HWND application = CreateApplicationWindow(instance);
        MainWindow window(instance, application);
        window.Show(show);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (window.PreTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        exit_code = int(msg.wParam);
        DestroyWindow(application);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return exit_code;
}
