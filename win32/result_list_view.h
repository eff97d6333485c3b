#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/dpi_scale.h"
#include "window/row_copy.h"

namespace haojian {
class ResultTable;
}

namespace haojian::win32 {

// The result list ListView1: a virtual report view (LVS_OWNERDATA) over the run's rows, so that
// millions of rows take no memory of the control's own. Texts are shown cut short; Ctrl+C and
// the right-click menu ask for the selected rows to be copied (on_copy), Ctrl+A selects all.
class ResultListView {
public:
    ResultListView(HWND parent, int id, HINSTANCE instance);
    HWND handle() const { return list_; }
    void SetRows(const ResultTable* rows) { rows_ = rows; }
    // Called for Ctrl+C and the menu's copy; copying_ greys the menu's item meanwhile.
    void SetOnCopy(std::function<void()> on_copy, std::function<bool()> copying) {
        on_copy_ = std::move(on_copy);
        copying_ = std::move(copying);
    }
    void SetFont(HFONT font, const DpiScale& scale);

    // Rows [first, first + count) were appended: shows them and scrolls the last into view,
    // at once when the list was last brought up to date kRowsInterval ago or longer, else by
    // then. (A run appends rows every few milliseconds; each count change redraws the
    // scroll bar and scrolls, which would otherwise take the UI thread longer than the rows.)
    void Appended(std::size_t first, std::size_t count);
    // Shows the rows still waiting, now: for the timer kRowsTimer, which the parent passes on,
    // and whenever the run reports, so that no message comes before its rows.
    void ShowWaitingRows();
    void Cleared();

    static constexpr UINT_PTR kRowsTimer = 2;
    static constexpr ULONGLONG kRowsInterval = 100;  // milliseconds

    // The list's notifications to the parent; true when handled, with the result to give.
    bool Notify(const NMHDR& header, LRESULT& result);
    // The keys the list takes before dialog navigation: Ctrl+C and Ctrl+A.
    bool PreTranslate(const MSG& msg);
    // Shows the right-click menu at the pointer (or under the selection for the keyboard's
    // menu key: position -1); copy and select-all are done here, other choices returned.
    // 分类导出 is greyed unless can_split_export; clean_lists: the check mark of the item that
    // cleans imported text lists.
    int PopupMenu(LPARAM position, bool can_split_export, bool clean_lists);

    // The selected rows the list shows, in runs.
    std::vector<RowRange> SelectedRanges() const;
    void SelectAll();

private:
    HWND parent_;
    HWND list_;
    const ResultTable* rows_ = nullptr;
    std::function<void()> on_copy_;
    std::function<bool()> copying_;
    std::size_t shown_ = 0;     // the rows the control holds
    std::size_t appended_ = 0;  // the rows appended, shown or waiting
    ULONGLONG shown_at_ = 0;    // GetTickCount64 when shown_ last changed
    bool timer_set_ = false;
    // Holds the text handed out for the last item asked for, until the next request.
    std::wstring cell_;
};

// Puts text on the clipboard as Unicode text, owned by owner; the clipboard keeps what it had
// when the system refuses.
void PutOnClipboard(HWND owner, std::u16string_view text);

}  // namespace haojian::win32
