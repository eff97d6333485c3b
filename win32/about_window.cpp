#include "win32/about_window.h"

#include "win32/hyperlink_label.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "window/window_texts.h"

namespace haojian::win32 {
namespace {

constexpr wchar_t kClass[] = L"TForm2";
constexpr int kClientWidth = 266;
constexpr int kClientHeight = 173;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;

std::wstring WideAddress(std::string_view address) {
    return std::wstring(address.begin(), address.end());
}

}  // namespace

TForm2::TForm2(HINSTANCE instance, HWND application)
    : application_(application), opener_(application, SW_SHOWNORMAL) {
    RegisterWindowClass(instance, kClass,
                        ObjectProcedure<TForm2, &TForm2::window_, &TForm2::Handle>,
                        {ApplicationIcon(SM_CXICON), ApplicationIcon(SM_CXSMICON), IDC_ARROW,
                         GetSysColorBrush(COLOR_BTNFACE)});
    program_icon_ = Picture::FromJpegResource(L"ABOUT_PROGRAM", true);
    banner_ = Picture::FromJpegResource(L"ABOUT_BANNER");
    const std::wstring caption = Wide(window_text::kAboutCaption);
    window_ = CreateWindowExW(kExStyle, kClass, caption.c_str(), kStyle, 0, 0, kClientWidth,
                              kClientHeight, application, nullptr, instance, this);
    home_link_ = std::make_unique<THyperLinkLabel>(window_, 1, 16, 104, opener_);
    const std::wstring home = WideAddress(window_text::kHomePageAddress);
    home_link_->SetCaption(home);
    home_link_->SetURL(home);
    contact_link_ = std::make_unique<THyperLinkLabel>(window_, 2, 16, 130, opener_);
    contact_link_->SetCaption(Wide(window_text::kContactLinkCaption));
    contact_link_->SetURL(WideAddress(window_text::kContactAddress));
    scale_ = DpiScale(WindowDpi(window_));
    ApplyScale();
}

TForm2::~TForm2() {
    home_link_.reset();
    contact_link_.reset();
    if (window_) DestroyWindow(window_);
    for (HFONT font : {window_font_, name_font_, version_font_})
        if (font) DeleteObject(font);
}

void TForm2::ApplyScale() {
    for (HFONT font : {window_font_, name_font_, version_font_})
        if (font) DeleteObject(font);
    window_font_ = MakeFont(L"MS Sans Serif", 11, scale_);
    name_font_ =
        MakeFont(Wide(window_text::kSongFace).c_str(), 12, scale_, true, false, GB2312_CHARSET);
    version_font_ = MakeFont(L"Arial", 13, scale_);
    home_link_->SetScale(scale_);
    contact_link_->SetScale(scale_);
    RECT outer{0, 0, scale_(kClientWidth), scale_(kClientHeight)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm2::ShowModal(HWND owner) {
    // Centred on the screen at every showing.
    RECT outer{};
    GetWindowRect(window_, &outer);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    SetWindowPos(window_, HWND_TOPMOST, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE);
    if (owner) EnableWindow(owner, FALSE);
    shown_ = true;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    MSG msg;
    while (shown_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (owner) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
    // A quit asked for meanwhile is for the outer loop.
    if (shown_) PostQuitMessage(int(msg.wParam));
}

void TForm2::Paint(HDC dc) {
    RECT client{};
    GetClientRect(window_, &client);
    DrawEdge(dc, &client, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    if (!program_icon_.empty()) {
        program_icon_.Draw(dc, RECT{scale_(20), scale_(8), scale_(20 + program_icon_.width()),
                                    scale_(8 + program_icon_.height())});
    }
    if (!banner_.empty()) {
        banner_.Draw(dc, RECT{scale_(20), scale_(72), scale_(20 + banner_.width()),
                              scale_(72 + banner_.height())});
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(dc, name_font_);
    const std::wstring name = Wide(window_text::kProductName);
    TextOutW(dc, scale_(96), scale_(16), name.c_str(), int(name.size()));
    SelectObject(dc, version_font_);
    const std::wstring version = Wide(window_text::kVersionLabel);
    TextOutW(dc, scale_(216), scale_(14), version.c_str(), int(version.size()));
    SelectObject(dc, old);
}

LRESULT TForm2::Handle(UINT message, WPARAM w, LPARAM l) {
    const HWND window = window_;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window_, &paint);
            Paint(dc);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_COMMAND:
            // Escape, through the dialog keys of its message loop.
            if (LOWORD(w) != IDCANCEL) break;
            [[fallthrough]];
        case WM_CLOSE:
            // Closing hides it; it lives until the application ends.
            ShowWindow(window_, SW_HIDE);
            shown_ = false;
            return 0;
        case WM_KEYDOWN:
            if (w == VK_ESCAPE) PostMessageW(window_, WM_CLOSE, 0, 0);
            return 0;
        case WM_DPICHANGED:
            scale_ = DpiScale(HIWORD(w));
            ApplyScale();
            InvalidateRect(window_, nullptr, TRUE);
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

}  // namespace haojian::win32
