#include "core/table/table_preview.h"

#include <algorithm>
#include <memory>

#include "core/files/file_system.h"
#include "core/table/cell_text.h"
#include "core/table/column_choice.h"
#include "core/table/number_cleaning.h"
#include "core/table/workbook_parts.h"
#include "core/table/zip_parts.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

constexpr std::size_t kFirstValues = 3;

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HoldsNumber(std::string_view cell) {
    return CleanNumber(cell).kind != CleanedNumber::Kind::kNoNumber;
}

bool Named(const std::vector<std::string>& row, std::string_view text) {
    return std::find(row.begin(), row.end(), text) != row.end();
}

}  // namespace

DetectedFormat DetectFileFormat(FileSystem& fs, const std::string& path) {
    const std::unique_ptr<InputFile> file = fs.OpenRead(path);
    const std::string head = ReadDetectionHead(*file);
    return DetectFormat(head, head.size() < kDetectionBytes, FileName(path));
}

std::vector<SheetEntry> VisibleSheets(FileSystem& fs, const std::string& path) {
    ZipParts zip(fs.OpenRead(path), path);
    const WorkbookParts parts = ReadWorkbookParts(zip);
    std::vector<SheetEntry> sheets;
    for (std::size_t i = 0; i < parts.sheets.size(); ++i) {
        const WorkbookParts::Sheet& sheet = parts.sheets[i];
        if (!sheet.visible || !sheet.worksheet) continue;
        SheetEntry entry{CellTextFromUtf8(sheet.name), {}};
        // A name GBK cannot hold is asked for by its number, unless a sheet is named so.
        const std::string number = std::to_string(i + 1);
        const bool by_name = Utf8FromGbk(entry.name) == sheet.name ||
                             std::any_of(parts.sheets.begin(), parts.sheets.end(),
                                         [&](const auto& other) { return other.name == number; });
        entry.asked = by_name ? entry.name : number;
        sheets.push_back(std::move(entry));
    }
    return sheets;
}

std::vector<ColumnCandidate> ColumnCandidates(const std::vector<TableRow>& first) {
    std::size_t width = 0;
    for (const TableRow& row : first) width = std::max(width, row.cells.size());
    std::vector<ColumnCandidate> columns(width);
    for (std::size_t c = 0; c < width; ++c) {
        ColumnCandidate& column = columns[c];
        column.column = c;
        const auto cell = [&](std::size_t r) -> std::string_view {
            return c < first[r].cells.size() ? std::string_view(first[r].cells[c])
                                             : std::string_view();
        };
        column.header_row = !HoldsNumber(cell(0));
        if (column.header_row) column.header = cell(0);
        for (std::size_t r = column.header_row ? 1 : 0; r < first.size(); ++r) {
            ++column.rows;
            if (HoldsNumber(cell(r))) ++column.numbers;
            if (column.first_values.size() < kFirstValues && !cell(r).empty()) {
                column.first_values.emplace_back(cell(r));
            }
        }
    }
    return columns;
}

std::string ColumnAskedFor(const std::vector<std::string>& first_row, std::size_t column) {
    // A header's text is matched first, then a number, then letters.
    std::string number = std::to_string(column + 1);
    if (!Named(first_row, number)) return number;
    std::string letters = ColumnLetters(column);
    if (!Named(first_row, letters)) return letters;
    if (column < first_row.size() && !first_row[column].empty() &&
        std::find(first_row.begin(), first_row.end(), first_row[column]) ==
            first_row.begin() + std::ptrdiff_t(column)) {
        return first_row[column];
    }
    return number;
}

}  // namespace haojian
