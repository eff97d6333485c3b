#pragma once

#include <string>

#include "core/export/row_statistics.h"
#include "core/files/file_system.h"

namespace haojian {

// Writes the three tables of the row statistics as a workbook at path: a sheet each for
// province, city and card type ("省份", "城市", "卡类"), each a header (the field, "数量",
// "占比") and one row per name in the statistics' order with its count and its share of the
// rows (a number shown in per cent with two decimals), and beside the provinces a native bar
// chart of their counts. Replaces path only once complete. Throws FileError, or Error when the
// workbook library fails.
void SaveStatisticsWorkbook(const RowStatistics& stats, const std::string& path,
                            FileSystem& fs = RealFileSystem());

}  // namespace haojian
