#pragma once

#include <windows.h>

#include <memory>

#include "win32/dpi_scale.h"
#include "win32/pictures.h"
#include "win32/shell_address_opener.h"

namespace haojian::win32 {

class THyperLinkLabel;

// The About window TForm2: the product's name and version, two pictures and the two links. It
// is made once, hidden between showings, and shown modally on top of everything.
class TForm2 {
public:
    TForm2(HINSTANCE instance, HWND application);
    ~TForm2();
    TForm2(const TForm2&) = delete;
    TForm2& operator=(const TForm2&) = delete;

    HWND handle() const { return window_; }
    // Shows the window and returns when the user has closed it; owner (may be none) is
    // disabled meanwhile.
    void ShowModal(HWND owner);

private:
    LRESULT Handle(UINT message, WPARAM w, LPARAM l);
    void ApplyScale();
    void Paint(HDC dc);

    HWND window_ = nullptr;
    HWND application_;
    // The links open their addresses owned by the application window.
    ShellAddressOpener opener_;
    DpiScale scale_;
    HFONT window_font_ = nullptr;
    HFONT name_font_ = nullptr;
    HFONT version_font_ = nullptr;
    Picture program_icon_;
    Picture banner_;
    std::unique_ptr<THyperLinkLabel> home_link_;
    std::unique_ptr<THyperLinkLabel> contact_link_;
    bool shown_ = false;
};

}  // namespace haojian::win32
