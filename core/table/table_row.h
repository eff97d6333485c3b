#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace haojian {

// One row of a table as read. Cells are GBK bytes in column order; a cell the file leaves out
// is an empty text in its place, and a row is at least as wide as the table's first rows, so
// that columns added after it line up. A row a workbook leaves out comes as a row of empty cells.
struct TableRow {
    std::vector<std::string> cells;
    std::uint64_t number = 0;       // 1-based, as the sheet or file counts its rows
    std::size_t number_column = 0;  // 0-based: the column that holds the mobile numbers
    bool header = false;            // the table's header row (its first, when it has one)

    // Whether every cell is empty (a row a workbook leaves out comes so).
    bool Empty() const {
        for (const std::string& cell : cells) {
            if (!cell.empty()) return false;
        }
        return true;
    }
    // The cell of the number column (empty when the row does not reach it).
    std::string_view NumberCell() const {
        return number_column < cells.size() ? std::string_view(cells[number_column])
                                            : std::string_view();
    }
};

}  // namespace haojian
