#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window/background_thread.h"

namespace haojian {

class ResultTable;

// Rows first to last, both included.
using RowRange = std::pair<std::size_t, std::size_t>;

// Selected ranges in list order, overlaps and neighbours joined, cut to the first row_count
// rows (rows the list does not show yet are not taken).
std::vector<RowRange> JoinRowRanges(std::vector<RowRange> ranges, std::size_t row_count);
std::size_t RowCount(const std::vector<RowRange>& ranges);

// The rows of the ranges as copied: the four texts of each whole (number, province, city,
// card type), separated by tabs, each row followed by line_end. Reads nothing but rows, so that
// a thread of its own can build the text from a snapshot of them.
std::u16string CopiedRowsText(const ResultTable& rows, const std::vector<RowRange>& ranges,
                              std::u16string_view line_end);

// What the copy needs of a window.
struct RowCopySeams {
    // The busy-in-background pointer while the text is built, or the normal one.
    std::function<void(bool busy)> set_busy_pointer;
    // Says why a copy was refused or failed, in a plain box.
    std::function<void(std::u16string_view text)> tell;
    // Puts the text on the clipboard (UI thread).
    std::function<void(std::u16string text)> put_on_clipboard;
};

// The result list's copy command for both windows: the selected rows' text is built on a thread
// of its own under the busy pointer, so that a large selection holds nothing up, then put on
// the clipboard. More rows than a spreadsheet holds are refused with a message (haojian-cli
// lookup is the way to take them); a copy asked for while one is built is not started.
class RowCopy {
public:
    static constexpr std::size_t kLimit = 1000000;

    // post_finish: how the window has BackgroundThread::Finish called on its UI thread; the
    // window routes it to Finish below.
    RowCopy(RowCopySeams seams, BackgroundThread::PostFinish post_finish, std::u16string line_end);

    bool Copying() const { return thread_.Busy(); }
    void SetLimit(std::size_t rows) { limit_ = rows; }
    // Copies the ranges (JoinRowRanges' form) of rows, a snapshot the copy may keep.
    void Copy(std::shared_ptr<const ResultTable> rows, std::vector<RowRange> ranges);
    void Finish(std::uint64_t id) { thread_.Finish(id); }

private:
    RowCopySeams seams_;
    std::u16string line_end_;
    std::size_t limit_ = kLimit;
    BackgroundThread thread_;
};

}  // namespace haojian
