#pragma once

#include <windows.h>

#include <string>

#include "win32/dpi_scale.h"
#include "window/address_opener.h"

namespace haojian::win32 {

// A link: its caption drawn bold and underlined, blue at rest, red under the pointer and
// fuchsia once pressed; a press opens its address through opener. The label sizes itself to
// its text with a margin of 3 pixels left and right and 1 above and below, and shows the hand
// pointer.
class THyperLinkLabel {
public:
    // opener must outlive the label.
    THyperLinkLabel(HWND parent, int id, int x, int y, AddressOpener& opener);
    ~THyperLinkLabel();
    THyperLinkLabel(const THyperLinkLabel&) = delete;
    THyperLinkLabel& operator=(const THyperLinkLabel&) = delete;

    HWND handle() const { return window_; }
    void SetURL(std::wstring url);
    void SetCaption(std::wstring caption);
    void SetColor(COLORREF color);
    void SetFontName(std::wstring face);
    void SetScale(const DpiScale& scale);

    COLORREF LinkColor() const { return link_color_; }
    COLORREF FontColor() const { return font_color_; }

    static constexpr COLORREF kBlue = RGB(0, 0, 255);
    static constexpr COLORREF kRed = RGB(255, 0, 0);
    static constexpr COLORREF kFuchsia = RGB(255, 0, 255);

private:
    LRESULT WndProc(UINT message, WPARAM w, LPARAM l);
    void MakeFont();
    void Paint(HDC dc, const RECT& clip);

    HWND window_ = nullptr;
    AddressOpener& opener_;
    int x_, y_;
    DpiScale scale_;
    std::wstring url_;
    std::wstring caption_;
    std::wstring face_;
    COLORREF link_color_ = kBlue;
    COLORREF font_color_ = kBlue;
    COLORREF color_;
    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
    bool inside_ = false;
};

}  // namespace haojian::win32
