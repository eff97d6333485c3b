#include "win32/result_list_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "core/run/result_table.h"
#include "win32/main_window.h"
#include "win32/wide_text.h"
#include "window/main_window_texts.h"
#include "window/shown_text.h"
#include "window/split_export_texts.h"

namespace haojian::win32 {

ResultListView::ResultListView(HWND parent, int id, HINSTANCE instance) : parent_(parent) {
    list_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
        0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    // Drawn straight to the window, not double-buffered: a buffered list copies every area it
    // repaints through a bitmap of its own, which made each repaint of the window a fifth
    // slower under wine; rows are added a few times a second at most, so nothing flickers.
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
    for (std::size_t i = 0; i < window_text::kColumnTitles.size(); ++i) {
        std::wstring title = Wide(window_text::kColumnTitles[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title.data();
        column.cx = window_text::kColumnWidths[i];
        column.iSubItem = int(i);
        ListView_InsertColumn(list_, int(i), &column);
    }
}

void ResultListView::SetFont(HFONT font, const DpiScale& scale) {
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    for (std::size_t i = 0; i < window_text::kColumnWidths.size(); ++i)
        ListView_SetColumnWidth(list_, int(i), scale(window_text::kColumnWidths[i]));
}

void ResultListView::Appended(std::size_t first, std::size_t count) {
    appended_ = std::max(appended_, first + count);
    if (appended_ <= shown_) return;
    const ULONGLONG since = GetTickCount64() - shown_at_;
    if (since >= kRowsInterval) {
        ShowWaitingRows();
    } else if (!timer_set_) {
        timer_set_ = SetTimer(parent_, kRowsTimer, UINT(kRowsInterval - since), nullptr) != 0;
        if (!timer_set_) ShowWaitingRows();
    }
}

void ResultListView::ShowWaitingRows() {
    if (timer_set_) KillTimer(parent_, kRowsTimer);
    timer_set_ = false;
    if (appended_ <= shown_) return;
    shown_ = appended_;
    shown_at_ = GetTickCount64();
    ListView_SetItemCountEx(list_, int(shown_), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    ListView_EnsureVisible(list_, int(shown_) - 1, TRUE);
}

void ResultListView::Cleared() {
    if (timer_set_) KillTimer(parent_, kRowsTimer);
    timer_set_ = false;
    shown_ = appended_ = 0;
    ListView_SetItemCountEx(list_, 0, 0);
}

bool ResultListView::Notify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != list_) return false;
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
            if (!(info.item.mask & LVIF_TEXT) || !rows_ || info.item.cchTextMax <= 0) return true;
            info.item.pszText[0] = L'\0';
            const std::size_t index = std::size_t(info.item.iItem);
            if (index >= rows_->size() || index >= shown_) return true;
            const ResultRowView row = rows_->Row(index);
            const std::string_view field = info.item.iSubItem == 0   ? row.number
                                           : info.item.iSubItem == 1 ? row.province
                                           : info.item.iSubItem == 2 ? row.city
                                                                     : row.card_type;
            cell_ = Wide(ShownText(field));
            const std::size_t n = std::min(cell_.size(), std::size_t(info.item.cchTextMax - 1));
            std::copy_n(cell_.data(), n, info.item.pszText);
            info.item.pszText[n] = L'\0';
            result = 0;
            return true;
        }
        case LVN_ODFINDITEMW:
            result = -1;
            return true;
        default:
            return false;
    }
}

bool ResultListView::PreTranslate(const MSG& msg) {
    if (msg.hwnd != list_ || msg.message != WM_KEYDOWN || !(GetKeyState(VK_CONTROL) & 0x8000))
        return false;
    if (msg.wParam == 'C') {
        if (on_copy_) on_copy_();
        return true;
    }
    if (msg.wParam == 'A') {
        SelectAll();
        return true;
    }
    return false;
}

int ResultListView::PopupMenu(LPARAM position, bool can_split_export, bool clean_lists) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) {
        RECT r{};
        GetWindowRect(list_, &r);
        at = {r.left + 10, r.top + 30};
    }
    const HMENU menu = CreatePopupMenu();
    const bool any = ListView_GetSelectedCount(list_) > 0 && !(copying_ && copying_());
    AppendMenuW(menu, MF_STRING | (any ? 0 : MF_GRAYED), kIdCopyRows,
                (Wide(window_text::kCopyItem) + L"\tCtrl+C").c_str());
    AppendMenuW(menu, MF_STRING, kIdSelectAllRows,
                (Wide(window_text::kSelectAllItem) + L"\tCtrl+A").c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kIdShowStatistics, Wide(window_text::kStatisticsItem).c_str());
    AppendMenuW(menu, MF_STRING | (can_split_export ? 0 : MF_GRAYED), kIdSplitExport,
                Wide(window_text::kSplitExportItem).c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (clean_lists ? MF_CHECKED : 0), kIdCleanLists,
                Wide(window_text::kCleanListsItem).c_str());
    const int chosen =
        int(TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, parent_, nullptr));
    DestroyMenu(menu);
    switch (chosen) {
        case kIdCopyRows:
            if (on_copy_) on_copy_();
            return 0;
        case kIdSelectAllRows:
            SelectAll();
            return 0;
        default:
            return chosen;
    }
}

std::vector<RowRange> ResultListView::SelectedRanges() const {
    std::vector<RowRange> ranges;
    // Runs of selected rows.
    int item = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    while (item >= 0) {
        int last = item;
        int next = ListView_GetNextItem(list_, item, LVNI_SELECTED);
        while (next == last + 1) {
            last = next;
            next = ListView_GetNextItem(list_, last, LVNI_SELECTED);
        }
        ranges.emplace_back(std::size_t(item), std::size_t(last));
        item = next;
    }
    return JoinRowRanges(std::move(ranges), shown_);
}

void PutOnClipboard(HWND owner, std::u16string_view text) {
    if (text.empty() || !OpenClipboard(owner)) return;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* to = GlobalLock(memory)) {
            auto* units = static_cast<wchar_t*>(to);
            std::copy(text.begin(), text.end(), units);
            units[text.size()] = L'\0';
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void ResultListView::SelectAll() {
    ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
}

}  // namespace haojian::win32
