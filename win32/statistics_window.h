#pragma once

#include <windows.h>

#include "win32/dpi_scale.h"
#include "window/statistics_view.h"
#include "window/window_seams.h"

namespace haojian::win32 {

// The counts of the result rows by province, city and card type, with their shares, each table
// sorted by a click on a column's header; a bar chart of the provinces, and buttons that save
// the tables as a UTF-8 CSV file, or with the chart as a workbook. What it shows is
// StatisticsView's (window/).
class StatisticsWindow {
public:
    StatisticsWindow(HINSTANCE instance, HWND owner, WindowDialogs& dialogs);
    ~StatisticsWindow();
    StatisticsWindow(const StatisticsWindow&) = delete;
    StatisticsWindow& operator=(const StatisticsWindow&) = delete;

    HWND handle() const { return window_; }
    // Shows the counts of the rows; opened the first time over its owner.
    void ShowCounts(RowStatistics counts);
    // Shows the window again, restored and in front.
    void ComeBack();

private:
    static LRESULT CALLBACK ChartProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT Handle(UINT message, WPARAM w, LPARAM l);
    void Layout();
    void FillTable();
    // The table of the tab shown.
    StatisticsTable Shown() const;
    // The height of one bar of the chart, and of all of them, for a chart of that height.
    int ChartRow(int height) const;
    int ChartHeight(int height) const;
    // Fits the chart's scroll bar to its bars and its height; first is the new top.
    void ScrollChart(int first);
    void PaintChart(HDC dc, const RECT& area);

    WindowDialogs& dialogs_;
    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    HWND table_ = nullptr;
    HWND chart_ = nullptr;
    HWND total_ = nullptr;
    HWND save_ = nullptr;
    HWND save_workbook_ = nullptr;
    HWND close_ = nullptr;
    HFONT font_ = nullptr;
    DpiScale scale_;
    StatisticsView view_;
    // The chart's first pixel shown, when its bars are taller than it.
    int chart_top_ = 0;
    bool placed_ = false;
    // The texts the table shows, kept while the list may ask for them.
    std::wstring cell_;
};

}  // namespace haojian::win32
