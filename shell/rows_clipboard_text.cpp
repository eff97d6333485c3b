#include "shell/rows_clipboard_text.h"

#include <QItemSelection>
#include <algorithm>

#include "core/run/result_table.h"
#include "shell/gbk_text.h"

namespace haojian {

std::vector<RowRange> SelectedRowRanges(const QItemSelection& selection, std::size_t row_count) {
    std::vector<RowRange> sorted;
    for (const QItemSelectionRange& range : selection) {
        if (range.top() < 0 || std::size_t(range.top()) >= row_count) continue;
        sorted.emplace_back(std::size_t(range.top()),
                            std::min(std::size_t(std::max(range.bottom(), 0)), row_count - 1));
    }
    std::sort(sorted.begin(), sorted.end());
    std::vector<RowRange> joined;
    for (const RowRange& range : sorted) {
        if (!joined.empty() && range.first <= joined.back().second + 1) {
            joined.back().second = std::max(joined.back().second, range.second);
        } else {
            joined.push_back(range);
        }
    }
    return joined;
}

std::size_t RowCount(const std::vector<RowRange>& ranges) {
    std::size_t count = 0;
    for (const auto& [first, last] : ranges) count += last - first + 1;
    return count;
}

QString RowsClipboardText(const ResultTable& rows, const std::vector<RowRange>& ranges) {
    QString text;
    for (const auto& [first, last] : ranges) {
        for (std::size_t row = first; row <= last && row < rows.size(); ++row) {
            const ResultRowView r = rows.Row(row);
            text += FromGbk(r.number) + u'\t' + FromGbk(r.province) + u'\t' + FromGbk(r.city) +
                    u'\t' + FromGbk(r.card_type) + u'\n';
        }
    }
    return text;
}

}  // namespace haojian
