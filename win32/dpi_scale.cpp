#include "win32/dpi_scale.h"

namespace haojian::win32 {
namespace {

template <typename F>
F SystemFunction(const wchar_t* module, const char* name) {
    const HMODULE handle = GetModuleHandleW(module);
    return handle ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(handle, name)))
                  : nullptr;
}

}  // namespace

UINT WindowDpi(HWND window) {
    // Windows 10 and later; found at run time so that older systems still start.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    if (auto get = SystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow")) {
        if (const UINT dpi = get(window)) return dpi;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : 96;
}

void DeclareDpiAwareness() {
    using SetContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (auto set = SystemFunction<SetContextFn>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
        if (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ||
            set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE))
            return;
    }
    SetProcessDPIAware();
}

HFONT MakeFont(const wchar_t* face, int pixels, const DpiScale& scale, bool bold, bool underline,
               BYTE charset) {
    return CreateFontW(-scale(pixels), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                       charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace haojian::win32
