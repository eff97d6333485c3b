#pragma once

#include <cstddef>
#include <vector>

#include "window/row_copy.h"

class QItemSelection;

namespace haojian {

// The selection's row ranges in list order, overlaps joined, cut to the first row_count rows.
std::vector<RowRange> SelectedRowRanges(const QItemSelection& selection, std::size_t row_count);

}  // namespace haojian
