#include "shell/selected_row_ranges.h"

#include <QItemSelection>
#include <algorithm>

namespace haojian {

std::vector<RowRange> SelectedRowRanges(const QItemSelection& selection, std::size_t row_count) {
    std::vector<RowRange> ranges;
    for (const QItemSelectionRange& range : selection) {
        if (range.top() < 0) continue;
        ranges.emplace_back(std::size_t(range.top()), std::size_t(std::max(range.bottom(), 0)));
    }
    return JoinRowRanges(std::move(ranges), row_count);
}

}  // namespace haojian
