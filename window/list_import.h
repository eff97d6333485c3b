#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/table/format_detection.h"
#include "core/table/table_preview.h"
#include "core/table/table_reader.h"
#include "core/text/line_list.h"
#include "window/window_seams.h"

namespace haojian {

// How a chosen file is imported: by the line rule as it stands, by the line rule with every
// line cleaned, or as a table whose number column is cleaned.
enum class ImportRoute { TextList, CleanedTextList, Table };

// A workbook always goes as a table; delimited text too, unless it is named .txt, which stays
// a list of lines as every .txt always was (but for UTF-16 with a mark, Excel's "Unicode
// text"). Any other file is a text list.
ImportRoute RouteOf(const DetectedFormat& format, std::string_view path, bool clean_text_lists);

// The sheet dialog: the visible sheets, the first preselected.
ListChoice SheetPick(const std::vector<SheetEntry>& sheets);

// The user picks the column when more than one column holds numbers in the first rows, or when
// the detected one holds them in fewer than half of its rows.
bool AskForColumn(const std::vector<ColumnCandidate>& columns, std::size_t detected);
// The column dialog: each column's letters, header, first values and how many hold a number,
// the detected one preselected.
ListChoice ColumnPick(const std::vector<ColumnCandidate>& columns, std::size_t detected);

// The entries an import takes, and what the clean-up did to them.
struct ImportedEntries {
    LineList numbers;
    std::size_t cleaned = 0;    // entries changed by the clean-up
    std::size_t no_number = 0;  // entries that held no number, kept as they stand
};

// Whether a row of an imported table, read again with its ImportedTable's options, gave an
// entry: not the header, not a row of empty cells. The entries stand in the rows' order.
bool CarriesEntry(const TableRow& row);

// Reads the rest of table: one entry per row that carries one, the cell of column cleaned.
// header_row: the first row is the header. progress gets the rows read now and then; cancel,
// once set, ends the read with ImportCancelled.
ImportedEntries ReadTableEntries(TableReader& table, std::size_t column, bool header_row,
                                 const std::function<void(std::uint64_t rows)>& progress,
                                 const std::atomic<bool>& cancel);
// Every line of a text list cleaned.
ImportedEntries CleanLines(const LineList& lines);

struct ImportCancelled {};

// The status texts (GBK): while rows are read, and once a table or a cleaned list is imported.
std::string ReadingStatus(std::uint64_t rows);
std::string TableImportedStatus(std::size_t column, std::string_view header, std::size_t no_number);
std::string CleanedListStatus(const ImportedEntries& entries);

}  // namespace haojian
