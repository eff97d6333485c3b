#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace haojian {

// The number column of a table and whether its first row is a header, chosen from its first
// rows (GBK cells).
struct ColumnChoice {
    std::size_t column = 0;
    bool header = false;
};

// The spreadsheet letters of a 0-based column: 0 is "A", 26 is "AA".
std::string ColumnLetters(std::size_t column);
// The 0-based column that letters ("C", "aa") name; nothing when they name none.
std::optional<std::size_t> ColumnOfLetters(std::string_view letters);

// By default, the column in which most cells hold a mobile number (leftmost on a tie); with
// asked ("--column"), the column whose header is that text, else that letter or 1-based number.
// The first row is the header when its cell in the column holds no number. Nothing when no
// column holds a number, or asked names no column; the reason is then in why (UTF-8).
std::optional<ColumnChoice> ChooseColumn(const std::vector<std::vector<std::string>>& rows,
                                         std::string_view asked, std::string& why);

}  // namespace haojian
