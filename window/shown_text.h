#pragma once

#include <string>
#include <string_view>

namespace haojian {

class ResultTable;

// A text of the result list as the list shows it: at most its first kShownBytes bytes and "…".
// A list lays out what it is given at every repaint, and a line of megabytes would make each
// repaint cost seconds. Export and copy read the rows themselves and take the whole text.
inline constexpr std::size_t kShownBytes = 512;
std::u16string ShownText(std::string_view gbk);

// Rows [first, last] of rows as copied: the four texts of each whole, separated by tabs, each
// row followed by line_end. Rows beyond the table are left out.
void AppendCopiedRows(const ResultTable& rows, std::size_t first, std::size_t last,
                      std::u16string_view line_end, std::u16string& text);

}  // namespace haojian
