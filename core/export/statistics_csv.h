#pragma once

#include <string>

#include "core/export/row_statistics.h"
#include "core/files/file_system.h"

namespace haojian {

// The three tables of the row statistics as one CSV text in UTF-8, led by a byte-order mark so
// that spreadsheet programs read it as UTF-8. Each table is a header line (the field's name,
// "数量" count, "占比" share) and one line per name: the name, its count, and its share of the
// rows in per cent with two decimals and "%". The tables (provinces, cities, card types) are
// parted by an empty line. Lines end with CR LF; a field holding a comma, a quote or a line break
// is quoted, its quotes doubled.
std::string StatisticsCsv(const RowStatistics& stats);

// Writes StatisticsCsv(stats) to path as the export writes its file: beside it, and renamed over
// it once complete, so a failure leaves an existing file as it was. Throws FileError.
void SaveStatisticsCsv(const RowStatistics& stats, const std::string& path,
                       FileSystem& fs = RealFileSystem());

}  // namespace haojian
