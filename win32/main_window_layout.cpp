// The main window's layout at the screen's DPI, and what it paints itself: the bevels, the
// pictures and the graphic controls.
#include "win32/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/graphic_controls.h"
#include "win32/result_list_view.h"
#include "win32/wide_text.h"
#include "window/main_window_layout.h"
#include "window/main_window_texts.h"
#include "window/window_texts.h"

namespace haojian::win32 {

using namespace window_layout;

void TForm1::ApplyScale() {
    if (font_) DeleteObject(font_);
    font_ =
        MakeFont(Wide(window_text::kSongFace).c_str(), 12, scale_, false, false, GB2312_CHARSET);
    const auto set_font = [this](HWND control) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    };
    graphic_->SetFont(font_, scale_);
    for (HWND control : boxes_) {
        set_font(control);
        SendMessageW(control, CB_SETITEMHEIGHT, 0, scale_(kBoxItemHeight));
        // The box's own height: its edit part plus the frame.
        SendMessageW(control, CB_SETITEMHEIGHT, WPARAM(-1), scale_(kBoxHeight - 6));
    }
    set_font(memo_);
    set_font(status_);
    set_font(tooltip_);
    list_->SetFont(font_, scale_);
    std::array<int, 7> edges{};
    int right = 0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        right += scale_(window_text::kPanelWidths[i]);
        edges[i] = window_text::kPanelWidths[i] > 0 ? right : -1;
    }
    SendMessageW(status_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    SendMessageW(status_, SB_SETMINHEIGHT,
                 scale_(kStatusHeight) - 2 * GetSystemMetrics(SM_CYBORDER), 0);
    SendMessageW(status_, WM_SIZE, 0, 0);
    Layout();
}

void TForm1::Layout() {
    RECT client{};
    GetClientRect(window_, &client);
    const int width = client.right, height = client.bottom;
    for (std::size_t i = 0; i < kToolButtonCount; ++i) {
        const int left = scale_(kToolButtonLeft + kToolButtonStep * int(i));
        const int top = scale_(kToolButtonTop);
        graphic_->Place(
            ToolButtonId(ToolButton(i)),
            RECT{left, top, left + scale_(kToolButtonWidth), top + scale_(kToolButtonHeight)});
    }
    const int strip = scale_(kCoolBarHeight);
    const auto label = [&](int left) {
        const int top = strip + scale_(kLabelTop);
        return RECT{scale_(left), top, scale_(left) + scale_(kLabelWidth),
                    top + scale_(kLabelHeight)};
    };
    graphic_->Place(kIdLabel2, label(kLabelLefts[0]));
    graphic_->Place(kIdLabel1, label(kLabelLefts[1]));
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        // The drop-down list's height counts in the window's; the box itself keeps its own.
        MoveWindow(boxes_[i], scale_(kBoxLefts[i]), strip + scale_(kBoxTop), scale_(kBoxWidth),
                   scale_(kBoxHeight + 200), TRUE);
    }
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT status{};
    GetWindowRect(status_, &status);
    const int status_height = status.bottom - status.top;
    const int bottom_top =
        std::max(strip + scale_(kStripHeight), height - status_height - scale_(kBottomHeight));
    const int list_top = strip + scale_(kStripHeight);
    MoveWindow(list_->handle(), 0, list_top, width, std::max(0, bottom_top - list_top), TRUE);
    const int inner_left = scale_(kBevel), inner_right = width - scale_(kBevel);
    const int inner_bottom = bottom_top + scale_(kBottomHeight) - scale_(kBevel);
    const int progress_top = inner_bottom - scale_(kProgressHeight);
    MoveWindow(progress_, inner_left, progress_top, inner_right - inner_left,
               scale_(kProgressHeight), TRUE);
    const int memo_left = inner_left + scale_(kPicturePanelWidth);
    const int memo_right = inner_right - scale_(kPicturePanelWidth);
    MoveWindow(memo_, memo_left, bottom_top + scale_(kBevel), std::max(0, memo_right - memo_left),
               std::max(0, progress_top - bottom_top - scale_(kBevel)), TRUE);
    // Every control is painted anew with the window: a list or status bar that only moved
    // would keep what it drew at its old size (rows over rows, the size grip mid-bar).
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TForm1::Paint(HDC dc, const RECT& update) {
    RECT client{};
    GetClientRect(window_, &client);
    const int strip = scale_(kCoolBarHeight);
    RECT strip_rect{0, strip, client.right, strip + scale_(kStripHeight)};
    DrawEdge(dc, &strip_rect, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    RECT status{};
    GetWindowRect(status_, &status);
    const int bottom_top = client.bottom - (status.bottom - status.top) - scale_(kBottomHeight);
    RECT bottom{0, bottom_top, client.right, bottom_top + scale_(kBottomHeight)};
    DrawEdge(dc, &bottom, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    // The pictures, centred in their panels' inner areas.
    const int inner_top = bottom_top + scale_(kBevel);
    const int inner_height = scale_(kBottomHeight - 2 * kBevel - kProgressHeight);
    const int side = scale_(kPictureSide);
    const auto draw = [&](const Picture& picture, int panel_left) {
        const int x = panel_left + (scale_(kPicturePanelWidth) - side) / 2;
        const int y = inner_top + (inner_height - side) / 2;
        picture.Draw(dc, RECT{x, y, x + side, y + side});
    };
    draw(image1_, scale_(kBevel));
    draw(image2_, client.right - scale_(kBevel) - scale_(kPicturePanelWidth));
    graphic_->Paint(dc, update);
}

}  // namespace haojian::win32
