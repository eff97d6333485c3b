#include "win32/graphic_controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cwchar>

namespace haojian::win32 {

GraphicControls::GraphicControls(HWND parent, HWND tooltip) : parent_(parent), tooltip_(tooltip) {}

void GraphicControls::AddButton(int id, const std::wstring& caption, const std::wstring& tip,
                                Picture glyph, Picture disabled_glyph) {
    Control& c = controls_.emplace_back();
    c.id = id;
    c.button = true;
    c.text = caption;
    c.glyphs[0] = std::move(glyph);
    c.glyphs[1] = std::move(disabled_glyph);
    std::wstring text = tip;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    // Mouse messages reach the tooltip through Mouse: a subclassed parent would have every one
    // of its messages (a list's notifications included) look up the subclass first, which
    // under wine is a round trip to the server each.
    tool.uFlags = 0;
    tool.hwnd = parent_;
    tool.uId = UINT_PTR(id);
    tool.lpszText = text.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void GraphicControls::AddLabel(int id, const std::wstring& text) {
    Control& c = controls_.emplace_back();
    c.id = id;
    c.text = text;
}

GraphicControls::Control* GraphicControls::Find(int id) {
    for (Control& c : controls_) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

const GraphicControls::Control* GraphicControls::ButtonAt(POINT at) const {
    for (const Control& c : controls_) {
        if (c.button && PtInRect(&c.rect, at)) return &c;
    }
    return nullptr;
}

void GraphicControls::Invalidate(int id) {
    if (const Control* c = Find(id)) InvalidateRect(parent_, &c->rect, TRUE);
}

void GraphicControls::Place(int id, const RECT& rect) {
    Control* c = Find(id);
    if (!c) return;
    InvalidateRect(parent_, &c->rect, TRUE);
    c->rect = rect;
    InvalidateRect(parent_, &c->rect, TRUE);
    if (c->button) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = parent_;
        tool.uId = UINT_PTR(id);
        tool.rect = rect;
        SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void GraphicControls::SetEnabled(int id, bool enabled) {
    Control* c = Find(id);
    if (!c || c->enabled == enabled) return;
    c->enabled = enabled;
    if (!enabled && pressed_ == id) {
        pressed_ = 0;
        if (GetCapture() == parent_) ReleaseCapture();
    }
    Invalidate(id);
}

void GraphicControls::SetFont(HFONT font, const DpiScale& scale) {
    font_ = font;
    scale_ = scale;
    InvalidateRect(parent_, nullptr, TRUE);
}

void GraphicControls::Paint(HDC dc, const RECT& update) const {
    const HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    for (const Control& c : controls_) {
        RECT meet{};
        if (!IntersectRect(&meet, &c.rect, &update)) continue;
        if (c.button) {
            PaintButton(dc, c);
        } else {
            RECT r = c.rect;
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(dc, c.text.c_str(), -1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    SelectObject(dc, old);
}

void GraphicControls::PaintButton(HDC dc, const Control& c) const {
    RECT r = c.rect;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = c.enabled && pressed_ == c.id && hot_ == c.id;
    if (pressed) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    } else if (c.enabled && hot_ == c.id) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    SIZE text{};
    GetTextExtentPoint32W(dc, c.text.c_str(), int(c.text.size()), &text);
    const int glyph = scale_(16), gap = scale_(4);
    const int offset = pressed ? 1 : 0;
    int x = r.left + (r.right - r.left - (glyph + gap + text.cx)) / 2 + offset;
    const int y = r.top + (r.bottom - r.top - glyph) / 2 + offset;
    c.glyphs[c.enabled ? 0 : 1].Draw(dc, RECT{x, y, x + glyph, y + glyph});
    x += glyph + gap;
    SetTextColor(dc, GetSysColor(c.enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT text_rect{x, r.top + offset, r.right, r.bottom + offset};
    DrawTextW(dc, c.text.c_str(), -1, &text_rect,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

int GraphicControls::Mouse(UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CAPTURECHANGED) {
        // Capture taken away mid-press (a message box, say): the press is void.
        if (pressed_ && reinterpret_cast<HWND>(l) != parent_) {
            Invalidate(pressed_);
            pressed_ = 0;
        }
        return 0;
    }
    const POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (message != WM_MOUSELEAVE) {
        MSG relayed{parent_, message, w, l, DWORD(GetMessageTime()), {}};
        relayed.pt = at;
        ClientToScreen(parent_, &relayed.pt);
        SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    const Control* under = message == WM_MOUSELEAVE ? nullptr : ButtonAt(at);
    const int hot = under ? under->id : 0;
    if (hot != hot_) {
        Invalidate(hot_);
        hot_ = hot;
        Invalidate(hot_);
    }
    switch (message) {
        case WM_MOUSEMOVE:
            if (hot_ && !tracking_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, parent_, 0};
                tracking_ = TrackMouseEvent(&track) != FALSE;
            }
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (under && under->enabled) {
                pressed_ = under->id;
                SetCapture(parent_);
                Invalidate(pressed_);
            }
            return 0;
        case WM_LBUTTONUP: {
            const int pressed = pressed_;
            if (!pressed) return 0;
            pressed_ = 0;
            if (GetCapture() == parent_) ReleaseCapture();
            Invalidate(pressed);
            return under && under->id == pressed && under->enabled ? pressed : 0;
        }
        default:
            return 0;
    }
}

LRESULT GraphicControls::Describe(WPARAM index, LPARAM info) const {
    if (index >= controls_.size()) return 0;
    const Control& c = controls_[index];
    auto* out = reinterpret_cast<GraphicControlInfo*>(info);
    if (!out) return 1;
    out->id = c.id;
    out->enabled = c.enabled ? 1 : 0;
    out->rect = c.rect;
    wcsncpy(out->class_name, c.button ? L"TSpeedButton" : L"TLabel", 15);
    out->class_name[15] = L'\0';
    wcsncpy(out->text, c.text.c_str(), 63);
    out->text[63] = L'\0';
    return 1;
}

}  // namespace haojian::win32
