// The Windows program haojian.exe: the application window, the main window and the message
// loop until the main window has closed.
// windows.h first: the other system headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <shellapi.h>

#include <clocale>
#include <string>
#include <vector>

#include "core/text/text_encoding.h"
#include "win32/application_window.h"
#include "win32/dpi_scale.h"
#include "win32/main_window.h"
#include "win32/message_box.h"
#include "win32/wide_text.h"
#include "window/desktop_command_line.h"
#include "window/window_texts.h"

namespace {

// The arguments after the program's name, UTF-8.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; argv && i < count; ++i) arguments.push_back(haojian::Utf8FromWide(argv[i]));
    LocalFree(argv);
    return arguments;
}

// A named file as a full path: "Open with" passes one, a console may pass a relative one.
std::string FullPath(const std::string& file) {
    const std::wstring wide = haojian::WideFromUtf8(file);
    std::wstring full(MAX_PATH, L'\0');
    DWORD size = GetFullPathNameW(wide.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (size > full.size()) {
        full.resize(size);
        size = GetFullPathNameW(wide.c_str(), DWORD(full.size()), full.data(), nullptr);
    }
    if (size == 0 || size > full.size()) return file;
    full.resize(size);
    return haojian::Utf8FromWide(full);
}

// A window program has no console to print to: --help, --version and a refusal show a box.
int Tell(haojian::BoxKind kind, const std::string& utf8, int exit_code) {
    haojian::MessageBoxRequest request;
    request.kind = kind;
    request.caption = haojian::window_text::kApplicationTitle;
    request.text = haojian::Utf16FromUtf8(utf8);
    haojian::win32::ShowMessageBox(nullptr, request);
    return exit_code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    using namespace haojian::win32;
    using Action = haojian::DesktopCommandLine::Action;
    const std::vector<std::string> arguments = Arguments();
    const haojian::DesktopCommandLine line = haojian::ReadDesktopCommandLine(arguments);
    DeclareDpiAwareness();
    std::setlocale(LC_ALL, "");
    // The pictures' decoder (WIC) is a COM service.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                       ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    switch (line.action) {
        case Action::PrintHelp:
            return Tell(haojian::BoxKind::Plain, haojian::DesktopUsage(), 0);
        case Action::PrintVersion:
            return Tell(haojian::BoxKind::Plain, haojian::DesktopVersion(), 0);
        case Action::Refuse:
            return Tell(haojian::BoxKind::Error,
                        "haojian: " + line.problem + "\nTry 'haojian --help'.", 2);
        case Action::OpenWindow:
            break;
    }

    int exit_code = 0;
    {
        const HWND application = CreateApplicationWindow(instance);
        TForm1 window(instance, application);
        window.Show(show);
        // A list dropped on the program's icon, or opened with it: imported as Import would.
        if (!line.file.empty()) window.ImportFile(FullPath(line.file));
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
