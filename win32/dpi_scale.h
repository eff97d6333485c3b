#pragma once

#include <windows.h>

namespace haojian::win32 {

// The layout's figures are given at 96 DPI; a window scales them to its monitor's DPI.
class DpiScale {
public:
    explicit DpiScale(UINT dpi = 96) : dpi_(dpi) {}
    UINT dpi() const { return dpi_; }
    int operator()(int pixels_at_96) const { return MulDiv(pixels_at_96, int(dpi_), 96); }

private:
    UINT dpi_;
};

// The DPI of window's monitor (96 on systems that scale windows themselves).
UINT WindowDpi(HWND window);
// Makes the process per-monitor DPI aware where the system can, else system DPI aware.
void DeclareDpiAwareness();
// A font of face at pixel height (character height, without internal leading), scaled.
HFONT MakeFont(const wchar_t* face, int pixels, const DpiScale& scale, bool bold = false,
               bool underline = false, BYTE charset = DEFAULT_CHARSET);

}  // namespace haojian::win32
