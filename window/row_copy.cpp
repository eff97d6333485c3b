#include "window/row_copy.h"

#include <algorithm>

#include "core/run/result_table.h"
#include "core/text/gbk.h"
#include "window/main_window_texts.h"

namespace haojian {
namespace {

// Decimal, as the status bar shows numbers.
std::u16string Decimal(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string LimitText(std::size_t count, std::size_t limit) {
    return std::u16string(window_text::kCopySelected) + Decimal(count) +
           std::u16string(window_text::kCopyOverLimit) + Decimal(limit) +
           std::u16string(window_text::kCopyUseLookup);
}

}  // namespace

std::vector<RowRange> JoinRowRanges(std::vector<RowRange> ranges, std::size_t row_count) {
    std::vector<RowRange> sorted;
    for (const auto& [first, last] : ranges) {
        if (first >= row_count || last < first) continue;
        sorted.emplace_back(first, std::min(last, row_count - 1));
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

std::u16string CopiedRowsText(const ResultTable& rows, const std::vector<RowRange>& ranges,
                              std::u16string_view line_end) {
    std::u16string text;
    for (const auto& [first, last] : ranges) {
        for (std::size_t i = first; i <= last && i < rows.size(); ++i) {
            const ResultRowView row = rows.Row(i);
            text += Utf16FromGbk(row.number);
            text += u'\t';
            text += Utf16FromGbk(row.province);
            text += u'\t';
            text += Utf16FromGbk(row.city);
            text += u'\t';
            text += Utf16FromGbk(row.card_type);
            text += line_end;
        }
    }
    return text;
}

RowCopy::RowCopy(RowCopySeams seams, BackgroundThread::PostFinish post_finish,
                 std::u16string line_end)
    : seams_(std::move(seams)),
      line_end_(std::move(line_end)),
      thread_(std::move(post_finish), [this](bool busy) { seams_.set_busy_pointer(busy); }) {}

void RowCopy::Copy(std::shared_ptr<const ResultTable> rows, std::vector<RowRange> ranges) {
    if (Copying() || !rows) return;
    const std::size_t count = RowCount(ranges);
    if (count == 0) return;
    if (count > limit_) {
        seams_.tell(LimitText(count, limit_));
        return;
    }
    auto text = std::make_shared<std::u16string>();
    thread_.Start([rows = std::move(rows), ranges = std::move(ranges), text,
                   line_end = line_end_] { *text = CopiedRowsText(*rows, ranges, line_end); },
                  [this, text](std::exception_ptr error) {
                      if (error) {
                          // Out of memory: the clipboard keeps what it had.
                          seams_.tell(window_text::kCopyOutOfMemory);
                          return;
                      }
                      seams_.put_on_clipboard(std::move(*text));
                  });
}

}  // namespace haojian
