#pragma once

#include <QString>
#include <cstddef>
#include <utility>
#include <vector>

class QItemSelection;

namespace haojian {

class ResultTable;

// Rows first to last, both included.
using RowRange = std::pair<std::size_t, std::size_t>;

// The selection's row ranges in list order, overlaps joined, cut to the first row_count rows.
std::vector<RowRange> SelectedRowRanges(const QItemSelection& selection, std::size_t row_count);
std::size_t RowCount(const std::vector<RowRange>& ranges);

// The rows of the ranges as the clipboard takes them: tab-separated lines (number, province,
// city, card type), whole, each ended by a line feed. Reads nothing but rows, so that a thread
// of its own can build the text from a snapshot of them.
QString RowsClipboardText(const ResultTable& rows, const std::vector<RowRange>& ranges);

}  // namespace haojian
