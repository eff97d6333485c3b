#pragma once

#include "core/export/row_statistics.h"
#include "core/files/file_system.h"
#include "window/window_seams.h"

namespace haojian {

// The files the statistics window saves its counts as.
enum class StatisticsFile {
    Csv,       // the three tables in one UTF-8 CSV file
    Workbook,  // a sheet per table and a native bar chart of the provinces
};

// Asks where to save the counts (the title "统计结果保存为", the name 统计.csv or 统计.xlsx), saves
// them there and shows a failure in the application's error box, worded as an export's. Nothing
// when the user cancels. The file is small: it is written here, on the UI thread.
void SaveStatisticsFile(StatisticsFile kind, const RowStatistics& stats, WindowDialogs& dialogs,
                        FileSystem& files);

}  // namespace haojian
