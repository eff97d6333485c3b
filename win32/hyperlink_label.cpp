#include "win32/hyperlink_label.h"
#include "win32/window_class.h"

#include "win32/wide_text.h"
#include "window/window_texts.h"

namespace haojian::win32 {
namespace {

constexpr wchar_t kClass[] = L"THyperLinkLabel";
// The default face at 8 points when no face is named.
constexpr wchar_t kDefaultFace[] = L"MS Sans Serif";
constexpr int kPoints = 8;

}  // namespace

THyperLinkLabel::THyperLinkLabel(HWND parent, int id, int x, int y, AddressOpener& opener)
    : opener_(opener), x_(x), y_(y), color_(GetSysColor(COLOR_BTNFACE)) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    RegisterWindowClass(
        instance, kClass,
        ObjectProcedure<THyperLinkLabel, &THyperLinkLabel::window_, &THyperLinkLabel::WndProc>,
        {.cursor = IDC_HAND});  // crHandPoint
    const std::string_view address = window_text::kHomePageAddress;
    url_.assign(address.begin(), address.end());
    caption_ = url_;
    brush_ = CreateSolidBrush(color_);
    MakeFont();
    window_ =
        CreateWindowExW(0, kClass, caption_.c_str(), WS_CHILD | WS_VISIBLE, x, y, 100, 10, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

THyperLinkLabel::~THyperLinkLabel() {
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
    if (brush_) DeleteObject(brush_);
}

void THyperLinkLabel::MakeFont() {
    if (font_) DeleteObject(font_);
    const int height = -MulDiv(kPoints, int(scale_.dpi()), 72);
    font_ = CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, TRUE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, face_.empty() ? kDefaultFace : face_.c_str());
}

void THyperLinkLabel::SetURL(std::wstring url) {
    if (url != url_) url_ = std::move(url);
}

void THyperLinkLabel::SetCaption(std::wstring caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    SetWindowTextW(window_, caption_.c_str());
    InvalidateRect(window_, nullptr, TRUE);
}

void THyperLinkLabel::SetColor(COLORREF color) {
    if (color == color_) return;
    color_ = color;
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(color_);
    InvalidateRect(window_, nullptr, TRUE);
}

void THyperLinkLabel::SetFontName(std::wstring face) {
    if (face == face_) return;
    face_ = std::move(face);
    MakeFont();
    InvalidateRect(window_, nullptr, TRUE);
}

void THyperLinkLabel::SetScale(const DpiScale& scale) {
    scale_ = scale;
    MakeFont();
    SetWindowPos(window_, nullptr, scale_(x_), scale_(y_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

void THyperLinkLabel::Paint(HDC dc, const RECT& clip) {
    const HGDIOBJ old = SelectObject(dc, font_);
    SIZE text{};
    GetTextExtentPoint32W(dc, caption_.c_str(), int(caption_.size()), &text);
    RECT bounds{};
    GetWindowRect(window_, &bounds);
    // Every paint sizes the label to its text, with a margin scaled like the text.
    const int width = text.cx + scale_(6), height = text.cy + scale_(2);
    if (bounds.right - bounds.left != width || bounds.bottom - bounds.top != height) {
        SetWindowPos(window_, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FillRect(dc, &clip, brush_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, font_color_);
    TextOutW(dc, scale_(3), scale_(1), caption_.c_str(), int(caption_.size()));
    SelectObject(dc, old);
}

LRESULT THyperLinkLabel::WndProc(UINT message, WPARAM w, LPARAM l) {
    const HWND window = window_;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window_, &paint);
            Paint(dc, paint.rcPaint);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE:
            if (!inside_) {
                inside_ = true;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
                TrackMouseEvent(&track);
                font_color_ = kRed;
                InvalidateRect(window_, nullptr, TRUE);
            }
            break;
        case WM_MOUSELEAVE:
            inside_ = false;
            font_color_ = link_color_;
            InvalidateRect(window_, nullptr, TRUE);
            break;
        case WM_LBUTTONDOWN:
            opener_.OpenAddress(Utf8FromWide(url_));
            // Visited: fuchsia once the pointer leaves; red while it stays.
            link_color_ = kFuchsia;
            break;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

}  // namespace haojian::win32
