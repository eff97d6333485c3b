#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/dpi_scale.h"
#include "win32/graphic_control_info.h"
#include "win32/pictures.h"

namespace haojian::win32 {

// Controls their parent window draws, with no window of their own: flat speed buttons (a
// two-image glyph and a caption, a raised edge under the pointer, a sunken one while pressed,
// a tooltip) and labels. Every child window costs a repaint its own round trips through the
// window system; these cost the parent's paint only.
class GraphicControls {
public:
    // tooltip: the tooltip control that shows the buttons' tips over parent.
    GraphicControls(HWND parent, HWND tooltip);

    void AddButton(int id, const std::wstring& caption, const std::wstring& tip, Picture glyph,
                   Picture disabled_glyph);
    void AddLabel(int id, const std::wstring& text);
    // Where the control stands, in the parent's client coordinates.
    void Place(int id, const RECT& rect);
    void SetEnabled(int id, bool enabled);
    void SetFont(HFONT font, const DpiScale& scale);

    // Draws the controls that meet update.
    void Paint(HDC dc, const RECT& update) const;
    // Takes the parent's mouse messages; gives the id of the button clicked (pressed and
    // released over it while enabled), else 0.
    int Mouse(UINT message, WPARAM w, LPARAM l);
    // Answers kGraphicControlMessage.
    LRESULT Describe(WPARAM index, LPARAM info) const;

private:
    struct Control {
        int id = 0;
        bool button = false;
        std::wstring text;
        Picture glyphs[2];  // enabled, disabled
        RECT rect{};
        bool enabled = true;
    };

    Control* Find(int id);
    const Control* ButtonAt(POINT at) const;
    void Invalidate(int id);
    void PaintButton(HDC dc, const Control& c) const;

    HWND parent_;
    HWND tooltip_;
    HFONT font_ = nullptr;
    DpiScale scale_;
    std::vector<Control> controls_;
    int hot_ = 0;      // the button under the pointer
    int pressed_ = 0;  // the button the left button went down on
    bool tracking_ = false;
};

}  // namespace haojian::win32
