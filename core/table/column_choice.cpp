#include "core/table/column_choice.h"

#include <algorithm>

#include "core/table/number_cleaning.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

bool HoldsNumber(std::string_view cell) {
    return CleanNumber(cell).kind != CleanedNumber::Kind::kNoNumber;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

std::string ColumnLetters(std::size_t column) {
    std::string letters;
    for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26) {
        letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    }
    return letters;
}

std::optional<std::size_t> ColumnOfLetters(std::string_view letters) {
    // Spreadsheets stop at XFD, column 16384.
    if (letters.empty() || letters.size() > 3) return std::nullopt;
    std::size_t n = 0;
    for (char c : letters) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return std::nullopt;
        n = n * 26 + std::size_t(c - 'A' + 1);
    }
    return n - 1;
}

std::optional<ColumnChoice> ChooseColumn(const std::vector<std::vector<std::string>>& rows,
                                         std::string_view asked, std::string& why) {
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.size());
    const auto cell = [&](std::size_t row, std::size_t column) -> std::string_view {
        return column < rows[row].size() ? std::string_view(rows[row][column]) : std::string_view();
    };
    ColumnChoice choice;
    if (rows.empty()) {
        why = "the table holds no rows";
        return std::nullopt;
    }
    if (!asked.empty()) {
        std::optional<std::size_t> column;
        for (std::size_t c = 0; !rows.empty() && c < rows[0].size() && !column; ++c) {
            if (rows[0][c] == asked) column = c;
        }
        if (!column && AllDigits(asked)) {
            const std::size_t n = asked.size() > 5 ? 0 : std::stoul(std::string(asked));
            if (n >= 1) column = n - 1;
        }
        if (!column) column = ColumnOfLetters(asked);
        if (!column) {
            why = "no column is named \"" + Utf8FromGbk(asked) + "\"";
            return std::nullopt;
        }
        if (*column >= width) {
            why = "no column " + ColumnLetters(*column) + " in the first rows, which have " +
                  std::to_string(width) + (width == 1 ? " column" : " columns");
            return std::nullopt;
        }
        choice.column = *column;
    } else {
        std::size_t best = 0;
        for (std::size_t c = 0; c < width; ++c) {
            std::size_t count = 0;
            for (std::size_t r = 0; r < rows.size(); ++r) count += HoldsNumber(cell(r, c)) ? 1 : 0;
            if (count > best) {
                best = count;
                choice.column = c;
            }
        }
        if (best == 0) {
            why = "no column holds mobile numbers in the first " + std::to_string(rows.size()) +
                  (rows.size() == 1 ? " row" : " rows");
            return std::nullopt;
        }
    }
    choice.header = !rows.empty() && !HoldsNumber(cell(0, choice.column));
    return choice;
}

}  // namespace haojian
