#include "win32/statistics_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

#include "core/text/gbk.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "window/main_window_texts.h"
#include "window/statistics_save.h"
#include "window/window_texts.h"

namespace haojian::win32 {
namespace {

constexpr wchar_t kClass[] = L"TStatisticsWindow";
constexpr wchar_t kChartClass[] = L"TBarChart";
constexpr int kTabsId = 1, kTableId = 2, kChartId = 3, kTotalId = 4, kSaveId = 5, kCloseId = 6,
              kSaveWorkbookId = 7;

HWND Child(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id,
           DWORD ex_style = 0) {
    return CreateWindowExW(ex_style, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                           nullptr);
}

}  // namespace

StatisticsWindow::StatisticsWindow(HINSTANCE instance, HWND owner, WindowDialogs& dialogs)
    : dialogs_(dialogs) {
    RegisterWindowClass(
        instance, kClass,
        ObjectProcedure<StatisticsWindow, &StatisticsWindow::window_, &StatisticsWindow::Handle>,
        {.icon = reinterpret_cast<HICON>(GetClassLongPtrW(owner, GCLP_HICON)),
         .background = GetSysColorBrush(COLOR_BTNFACE)});
    RegisterWindowClass(instance, kChartClass, ChartProcedure,
                        {.background = GetSysColorBrush(COLOR_WINDOW)});

    scale_ = DpiScale(WindowDpi(owner));
    const std::wstring caption = Wide(window_text::kStatisticsCaption);
    window_ = CreateWindowExW(0, kClass, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, scale_(760), scale_(520), owner,
                              nullptr, instance, this);
    font_ =
        MakeFont(Wide(window_text::kSongFace).c_str(), 12, scale_, false, false, GB2312_CHARSET);
    tabs_ = Child(window_, WC_TABCONTROLW, L"", WS_CLIPSIBLINGS, kTabsId);
    for (std::size_t i = 0; i < window_text::kStatisticsTables.size(); ++i) {
        std::wstring text = Wide(window_text::kStatisticsTables[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        TabCtrl_InsertItem(tabs_, int(i), &item);
    }
    table_ = Child(window_, WC_LISTVIEWW, L"",
                   LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP, kTableId,
                   WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(table_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    const std::array<std::u16string_view, 3> titles = {
        window_text::kStatisticsTables[0], window_text::kCountColumn, window_text::kShareColumn};
    const std::array<int, 3> widths = {120, 90, 90};
    for (std::size_t i = 0; i < titles.size(); ++i) {
        std::wstring title = Wide(titles[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = i == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        column.pszText = title.data();
        column.cx = scale_(widths[i]);
        ListView_InsertColumn(table_, int(i), &column);
    }
    chart_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, kChartClass, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChartId)), instance, this);
    total_ = Child(window_, WC_STATICW, L"", SS_LEFT | SS_CENTERIMAGE, kTotalId);
    save_ = Child(window_, WC_BUTTONW, Wide(window_text::kSaveCsvButton),
                  BS_PUSHBUTTON | WS_TABSTOP, kSaveId);
    save_workbook_ = Child(window_, WC_BUTTONW, Wide(window_text::kSaveWorkbookButton),
                           BS_PUSHBUTTON | WS_TABSTOP, kSaveWorkbookId);
    close_ = Child(window_, WC_BUTTONW, Wide(window_text::kCloseButton), BS_PUSHBUTTON | WS_TABSTOP,
                   kCloseId);
    for (HWND control : {tabs_, table_, total_, save_, save_workbook_, close_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    Layout();
}

StatisticsWindow::~StatisticsWindow() {
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
}

void StatisticsWindow::ShowCounts(RowStatistics counts) {
    view_.Show(std::move(counts));
    SetWindowTextW(total_, Wide(view_.TotalText()).c_str());
    FillTable();
    ScrollChart(0);
    InvalidateRect(chart_, nullptr, TRUE);
    if (!placed_) {
        // Over the main window, where the user looks, and on the screen.
        placed_ = true;
        RECT owner{}, own{};
        GetWindowRect(GetWindow(window_, GW_OWNER), &owner);
        GetWindowRect(window_, &own);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromRect(&owner, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& area = monitor.rcWork;
        const int width = own.right - own.left, height = own.bottom - own.top;
        const int x = std::clamp(int((owner.left + owner.right - width) / 2), int(area.left),
                                 std::max(int(area.left), int(area.right) - width));
        const int y = std::clamp(int((owner.top + owner.bottom - height) / 2), int(area.top),
                                 std::max(int(area.top), int(area.bottom) - height));
        SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ComeBack();
}

void StatisticsWindow::ComeBack() {
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window_);
}

StatisticsTable StatisticsWindow::Shown() const {
    return StatisticsTable(std::clamp(TabCtrl_GetCurSel(tabs_), 0, int(kStatisticsTableCount) - 1));
}

void StatisticsWindow::FillTable() {
    const StatisticsTable table = Shown();
    std::wstring title = Wide(window_text::kStatisticsTables[std::size_t(table)]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title.data();
    ListView_SetColumn(table_, 0, &column);
    // The arrow of the sorted column.
    const HWND header = ListView_GetHeader(table_);
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == int(view_.SortColumn(table)))
            item.fmt |= view_.SortDescending(table) ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, i, &item);
    }
    ListView_SetItemCountEx(table_, int(view_.RowCount(table)), 0);
    InvalidateRect(table_, nullptr, TRUE);
}

void StatisticsWindow::Layout() {
    RECT client{};
    GetClientRect(window_, &client);
    const int margin = scale_(8), button_height = scale_(24), button_width = scale_(100);
    const int bottom = client.bottom - margin - button_height;
    const int left_width = (client.right - 3 * margin) * 9 / 19;
    MoveWindow(tabs_, margin, margin, left_width, bottom - 2 * margin, TRUE);
    RECT inside{0, 0, left_width, bottom - 2 * margin};
    TabCtrl_AdjustRect(tabs_, FALSE, &inside);
    MoveWindow(table_, margin + inside.left, margin + inside.top, inside.right - inside.left,
               inside.bottom - inside.top, TRUE);
    SetWindowPos(table_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    MoveWindow(chart_, 2 * margin + left_width, margin, client.right - 3 * margin - left_width,
               bottom - 2 * margin, TRUE);
    MoveWindow(total_, margin, bottom, client.right - 5 * margin - 3 * button_width, button_height,
               TRUE);
    MoveWindow(save_, client.right - 3 * margin - 3 * button_width, bottom, button_width,
               button_height, TRUE);
    MoveWindow(save_workbook_, client.right - 2 * margin - 2 * button_width, bottom, button_width,
               button_height, TRUE);
    MoveWindow(close_, client.right - margin - button_width, bottom, button_width, button_height,
               TRUE);
    // The controls are painted anew with the window, not only those that changed size.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int StatisticsWindow::ChartRow(int height) const {
    const int bars = std::max<int>(1, int(view_.Statistics().provinces.names.size()));
    return std::clamp((height - 2 * scale_(6)) / bars, scale_(14), scale_(22));
}

int StatisticsWindow::ChartHeight(int height) const {
    return 2 * scale_(6) + int(view_.Statistics().provinces.names.size()) * ChartRow(height);
}

void StatisticsWindow::ScrollChart(int first) {
    RECT area{};
    GetClientRect(chart_, &area);
    const int content = ChartHeight(area.bottom);
    chart_top_ = std::clamp(first, 0, std::max(0, content - int(area.bottom)));
    // A bar shows, and says there is more, only while the bars are taller than the chart.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max(0, content - 1);
    info.nPage = UINT(std::max(0, int(area.bottom)));
    info.nPos = chart_top_;
    SetScrollInfo(chart_, SB_VERT, &info, TRUE);
    InvalidateRect(chart_, nullptr, TRUE);
}

void StatisticsWindow::PaintChart(HDC dc, const RECT& area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    const FieldCounts& provinces = view_.Statistics().provinces;
    const auto& names = provinces.names;
    if (names.empty()) return;
    const HGDIOBJ old_font = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    const int margin = scale_(6), label_width = scale_(70), count_width = scale_(80);
    const int row = ChartRow(area.bottom);
    const std::size_t largest = names.front().count;  // counted largest first
    const int bar_room = std::max(1, int(area.right) - 2 * margin - label_width - count_width);
    const HBRUSH bar = CreateSolidBrush(RGB(70, 130, 180));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int top = margin + int(i) * row - chart_top_;
        if (top + row < 0 || top > area.bottom) continue;
        const std::wstring name = WideFromGbk(names[i].name);
        RECT label{margin, top, margin + label_width - scale_(4), top + row};
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextW(dc, name.c_str(), -1, &label,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        const int length = BarLength(names[i].count, largest, bar_room);
        RECT bar_rect{margin + label_width, top + 2, margin + label_width + std::max(1, length),
                      top + row - 2};
        FillRect(dc, &bar_rect, bar);
        const std::wstring count = std::to_wstring(names[i].count) + L" (" +
                                   Wide(Utf16FromGbk(provinces.PercentText(names[i].count))) + L")";
        RECT count_rect{bar_rect.right + scale_(4), top, area.right, top + row};
        DrawTextW(dc, count.c_str(), -1, &count_rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    DeleteObject(bar);
    SelectObject(dc, old_font);
}

LRESULT CALLBACK StatisticsWindow::ChartProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = WindowObject<StatisticsWindow>(window, message, l);
    if (self && message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT area{};
        GetClientRect(window, &area);
        self->PaintChart(dc, area);
        EndPaint(window, &paint);
        return 0;
    }
    if (self && message == WM_SIZE) self->ScrollChart(self->chart_top_);
    if (self && message == WM_VSCROLL) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(window, SB_VERT, &info);
        const int line = self->ChartRow(int(info.nPage));
        int top = info.nPos;
        switch (LOWORD(w)) {
            case SB_LINEUP:
                top -= line;
                break;
            case SB_LINEDOWN:
                top += line;
                break;
            case SB_PAGEUP:
                top -= int(info.nPage);
                break;
            case SB_PAGEDOWN:
                top += int(info.nPage);
                break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION:
                top = info.nTrackPos;
                break;
            case SB_TOP:
                top = 0;
                break;
            case SB_BOTTOM:
                top = info.nMax;
                break;
            default:
                break;
        }
        self->ScrollChart(top);
        return 0;
    }
    if (self && message == WM_MOUSEWHEEL) {
        RECT area{};
        GetClientRect(window, &area);
        const int notches = GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA;
        self->ScrollChart(self->chart_top_ - notches * 3 * self->ChartRow(area.bottom));
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

LRESULT StatisticsWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    const HWND window = window_;
    switch (message) {
        case WM_SIZE:
            if (tabs_) Layout();
            return 0;
        case WM_COMMAND:
            if (LOWORD(w) == kSaveId)
                SaveStatisticsFile(StatisticsFile::Csv, view_.Statistics(), dialogs_,
                                   RealFileSystem());
            if (LOWORD(w) == kSaveWorkbookId)
                SaveStatisticsFile(StatisticsFile::Workbook, view_.Statistics(), dialogs_,
                                   RealFileSystem());
            // Escape (IDCANCEL, from the dialog keys) closes it as its button does.
            if (LOWORD(w) == kCloseId || LOWORD(w) == IDCANCEL) ShowWindow(window_, SW_HIDE);
            return 0;
        case WM_KEYDOWN:
            if (w == VK_ESCAPE) ShowWindow(window_, SW_HIDE);
            return 0;
        case WM_CLOSE:
            ShowWindow(window_, SW_HIDE);
            return 0;
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(l);
            if (header.hwndFrom == tabs_ && header.code == TCN_SELCHANGE) {
                FillTable();
                return 0;
            }
            if (header.hwndFrom == table_ && header.code == LVN_COLUMNCLICK) {
                const auto column =
                    StatisticsColumn(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
                view_.SortBy(Shown(), column, view_.DescendingAfterClick(Shown(), column));
                FillTable();
                return 0;
            }
            if (header.hwndFrom == table_ && header.code == LVN_GETDISPINFOW) {
                auto& info = *reinterpret_cast<NMLVDISPINFOW*>(l);
                if (!(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return 0;
                cell_ = Wide(view_.CellText(Shown(), std::size_t(info.item.iItem),
                                            StatisticsColumn(info.item.iSubItem)));
                const std::size_t n = std::min(cell_.size(), std::size_t(info.item.cchTextMax - 1));
                std::copy_n(cell_.data(), n, info.item.pszText);
                info.item.pszText[n] = L'\0';
                return 0;
            }
            break;
        }
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

}  // namespace haojian::win32
