#pragma once

#include <QDialog>

#include "core/export/row_statistics.h"
#include "shell/command_dialogs.h"
#include "window/statistics_save.h"
#include "window/statistics_view.h"

class QLabel;
class QTableWidget;

namespace haojian {

class AddressOpener;
class BarChart;
class Dialogs;
class FileSystem;

// The statistics of the result rows: their counts by province, by city and by card type, each
// table sortable, with each name's share in per cent; a bar chart of the provinces; and buttons
// that save the three tables as a CSV file, or with the chart as a workbook. Shows the rows there
// are when it is opened.
class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    StatisticsWindow(QWidget* parent, Dialogs& dialogs, AddressOpener& opener, FileSystem& files);

    // Shows the counts of the rows in the window, raised and not minimised, even when it was
    // open.
    void ShowCounts(RowStatistics counts);
    // Brings the window back from minimised when it is open: the window manager minimises it
    // with its main window, and a main window coming back from the tray takes it along.
    void Restore();
    // Shows the window again, raised, after it was hidden with its main window.
    void ComeBack();
    const RowStatistics& Statistics() const { return view_.Statistics(); }

public slots:
    // Asks for a file name and saves the three tables there, as CSV or as a workbook.
    void SaveCsv() { Save(StatisticsFile::Csv); }
    void SaveWorkbook() { Save(StatisticsFile::Workbook); }

private:
    void Save(StatisticsFile kind);
    void Fill();
    void FillTable(std::size_t table);
    // Clears the minimised state and keeps a maximised one.
    void Unminimise();

    CommandDialogs dialogs_;
    FileSystem& files_;
    StatisticsView view_;
    QLabel* total_;
    QTableWidget* tables_[3];
    BarChart* chart_;
};

}  // namespace haojian
