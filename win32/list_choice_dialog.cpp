#include "win32/list_choice_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "win32/dpi_scale.h"
#include "win32/wide_text.h"
#include "window/window_texts.h"

namespace haojian::win32 {
namespace {

// Rows shown without scrolling, and the widest a column grows (at 96 DPI).
constexpr int kShownRows = 12;
constexpr int kWidestColumn = 560;

struct DialogState {
    const ListChoice& choice;
    DpiScale scale;
    HFONT font = nullptr;
    HWND list = nullptr;
    std::size_t chosen = 0;
};

HWND Child(HWND dialog, const wchar_t* window_class, const std::wstring& text, DWORD style, int id,
           DWORD extended = 0) {
    return CreateWindowExW(extended, window_class, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0,
                           0, 0, 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

SIZE TextSize(HWND window, HFONT font, const std::wstring& text) {
    const HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size;
}

void Build(HWND dialog, DialogState& s) {
    const ListChoice& choice = s.choice;
    const auto px = [&](int at96) { return s.scale(at96); };
    SetWindowTextW(dialog, Wide(choice.title).c_str());
    const std::wstring prompt_text = Wide(choice.prompt);
    const HWND prompt = Child(dialog, WC_STATICW, prompt_text, SS_LEFT, kChoicePromptId);
    s.list = Child(dialog, WC_LISTVIEWW, L"",
                   LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, kChoiceListId,
                   WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(s.list, LVS_EX_FULLROWSELECT);
    const HWND ok = Child(dialog, WC_BUTTONW, Wide(window_text::kOkButton),
                          BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    const HWND cancel = Child(dialog, WC_BUTTONW, Wide(window_text::kCancelButton),
                              BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
    for (HWND control : {prompt, s.list, ok, cancel})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(s.font), TRUE);

    for (std::size_t c = 0; c < choice.headings.size(); ++c) {
        std::wstring heading = Wide(choice.headings[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = heading.data();
        column.cx = px(60);
        ListView_InsertColumn(s.list, int(c), &column);
    }
    for (std::size_t r = 0; r < choice.rows.size(); ++r) {
        for (std::size_t c = 0; c < choice.rows[r].size() && c < choice.headings.size(); ++c) {
            std::wstring cell = Wide(choice.rows[r][c]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = int(r);
            item.iSubItem = int(c);
            item.pszText = cell.data();
            if (c == 0) {
                ListView_InsertItem(s.list, &item);
            } else {
                ListView_SetItem(s.list, &item);
            }
        }
    }
    // As wide as its columns and as tall as its rows, up to a bound.
    SetWindowPos(s.list, nullptr, 0, 0, px(800), px(400), SWP_NOZORDER | SWP_NOMOVE);
    int width = 2 * GetSystemMetrics(SM_CXEDGE) + 2;
    for (std::size_t c = 0; c < choice.headings.size(); ++c) {
        // The cells' width and the heading's (the header's own autosize would stretch the
        // last column over the rest of the list).
        ListView_SetColumnWidth(s.list, int(c), LVSCW_AUTOSIZE);
        const std::wstring heading = Wide(choice.headings[c]);
        const int content = std::max(ListView_GetColumnWidth(s.list, int(c)),
                                     ListView_GetStringWidth(s.list, heading.c_str()) + px(12));
        const int column = std::min(content + px(8), px(kWidestColumn));
        ListView_SetColumnWidth(s.list, int(c), column);
        width += column;
    }
    RECT row{};
    int row_height = px(16);
    if (!choice.rows.empty() && ListView_GetItemRect(s.list, 0, &row, LVIR_BOUNDS)) {
        row_height = row.bottom - row.top;
    }
    RECT header{};
    GetWindowRect(ListView_GetHeader(s.list), &header);
    const int rows = std::clamp(int(choice.rows.size()), 1, kShownRows);
    if (int(choice.rows.size()) > kShownRows) width += GetSystemMetrics(SM_CXVSCROLL);
    const int list_height =
        (header.bottom - header.top) + rows * row_height + 2 * GetSystemMetrics(SM_CYEDGE) + 2;

    const SIZE prompt_size = TextSize(dialog, s.font, prompt_text);
    const int margin = px(10);
    const int button_width = px(75), button_height = px(23), gap = px(8);
    const int inner = std::max({width, int(prompt_size.cx), 2 * button_width + gap});
    const int list_top = margin + prompt_size.cy + px(6);
    const int buttons_top = list_top + list_height + px(10);
    MoveWindow(prompt, margin, margin, inner, prompt_size.cy, FALSE);
    MoveWindow(s.list, margin, list_top, inner, list_height, FALSE);
    // A list narrower than the prompt gives the rest to its last column.
    if (inner > width && !choice.headings.empty()) {
        const int last = int(choice.headings.size()) - 1;
        ListView_SetColumnWidth(s.list, last,
                                ListView_GetColumnWidth(s.list, last) + inner - width);
    }
    MoveWindow(cancel, margin + inner - button_width, buttons_top, button_width, button_height,
               FALSE);
    MoveWindow(ok, margin + inner - 2 * button_width - gap, buttons_top, button_width,
               button_height, FALSE);

    RECT frame{0, 0, inner + 2 * margin, buttons_top + button_height + margin};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const int frame_width = frame.right - frame.left, frame_height = frame.bottom - frame.top;
    RECT owner{};
    GetWindowRect(GetWindow(dialog, GW_OWNER) ? GetWindow(dialog, GW_OWNER) : dialog, &owner);
    SetWindowPos(dialog, nullptr, (owner.left + owner.right - frame_width) / 2,
                 (owner.top + owner.bottom - frame_height) / 2, frame_width, frame_height,
                 SWP_NOZORDER);

    const int preselected = choice.preselected < choice.rows.size() ? int(choice.preselected) : 0;
    ListView_SetItemState(s.list, preselected, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(s.list, preselected, FALSE);
    SetFocus(s.list);
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    auto* s = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, l);
            Build(dialog, *reinterpret_cast<DialogState*>(l));
            return FALSE;  // the focus is on the list already
        case WM_COMMAND:
            if (LOWORD(w) == IDOK) {
                const int selected = ListView_GetNextItem(s->list, -1, LVNI_SELECTED);
                s->chosen = selected >= 0 ? std::size_t(selected) : s->choice.preselected;
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(w) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(l);
            if (header->idFrom == UINT_PTR(kChoiceListId) && header->code == NM_DBLCLK)
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            break;
        }
        default:
            break;
    }
    return FALSE;
}

}  // namespace

std::optional<std::size_t> ChooseFromListDialog(HWND owner, const ListChoice& choice) {
    DialogState state{choice, DpiScale(WindowDpi(owner))};
    state.font = MakeFont(Wide(window_text::kSongFace).c_str(), 12, state.scale, false, false,
                          GB2312_CHARSET);
    // An empty template: the controls are made and placed when the dialog starts.
    std::array<DWORD, 8> memory{};
    DLGTEMPLATE header{};
    header.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    std::memcpy(memory.data(), &header, sizeof header);  // no menu, class or title follows
    const INT_PTR answer = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(memory.data()), owner,
        Procedure, reinterpret_cast<LPARAM>(&state));
    DeleteObject(state.font);
    if (answer != IDOK) return std::nullopt;
    return state.chosen;
}

}  // namespace haojian::win32
