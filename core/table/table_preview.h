#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/table/format_detection.h"
#include "core/table/table_row.h"

namespace haojian {

class FileSystem;

// What a user is shown before a table is read whole: which sheets a workbook offers and which
// columns of the first rows could hold the numbers.

// What the file at path is, by its first bytes, as TableReader::Open decides it. Throws
// FileError when it cannot be read.
DetectedFormat DetectFileFormat(FileSystem& fs, const std::string& path);

// One visible worksheet of a workbook.
struct SheetEntry {
    std::string name;   // GBK, as a cell's text shows it
    std::string asked;  // what TableOptions::sheet names it by, so that it is read again
};

// The visible worksheets of the workbook at path, in its order (chart sheets and hidden sheets
// left out). Throws TableError for a zip that is no workbook, FileError when it cannot be read.
std::vector<SheetEntry> VisibleSheets(FileSystem& fs, const std::string& path);

// One column of a table's first rows, as a user picks the number column from them.
struct ColumnCandidate {
    std::size_t column = 0;   // 0-based
    std::string header;       // the first row's cell when that row is the header here (GBK)
    bool header_row = false;  // the first row is the header when this column is taken
    // The first cells below the header that hold something, up to three.
    std::vector<std::string> first_values;
    std::size_t numbers = 0;  // cells below the header that hold a mobile number
    std::size_t rows = 0;     // rows below the header
};

// Every column of the first rows (the widest row's width), left to right.
std::vector<ColumnCandidate> ColumnCandidates(const std::vector<TableRow>& first);

// What TableOptions::column names column by, so that a reader whose first row is first_row
// takes that column again: its number, or its letters, or its header, whichever no header
// cell before it could be taken for.
std::string ColumnAskedFor(const std::vector<std::string>& first_row, std::size_t column);

}  // namespace haojian
