#include "core/table/workbook_writer.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

#include "core/base/error.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

constexpr std::size_t kSheetColumns = 16'384;
constexpr std::size_t kCellCharacters = 32'767;
constexpr std::size_t kTmpfileBuffer = std::size_t(256) << 10;
constexpr std::size_t kBufferedSheets = 8;

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Whether text at i reads as an escape _xHHHH_.
bool EscapeAt(std::string_view text, std::size_t i) {
    return i + 7 <= text.size() && text[i] == '_' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
           IsHex(text[i + 2]) && IsHex(text[i + 3]) && IsHex(text[i + 4]) && IsHex(text[i + 5]) &&
           text[i + 6] == '_';
}

void AppendEscape(std::string& out, unsigned char c) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "_x%04X_", c);
    out += escape;
}

// Characters of UTF-8 text.
std::size_t Characters(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

void Check(lxw_error error, std::string_view what) {
    if (error != LXW_NO_ERROR) {
        throw Error("Cannot write the workbook: " + std::string(what) + " (" + lxw_strerror(error) +
                    ")");
    }
}

}  // namespace

void AppendWorkbookText(std::string& out, std::string_view gbk) {
    bool plain = true;
    for (const char c : gbk) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (b < 0x20 && c != '\t' && c != '\n') || c == '_') {
            plain = false;
            break;
        }
    }
    if (plain) {
        out += gbk;
        return;
    }
    const std::string utf8 = Utf8FromGbk(gbk);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x20 && b != '\t' && b != '\n') {
            AppendEscape(out, b);
        } else if (EscapeAt(utf8, i)) {
            AppendEscape(out, '_');
        } else {
            out += utf8[i];
        }
    }
}

WorkbookWriter::WorkbookWriter(FileSystem& fs, const std::string& path, std::size_t sheet_rows)
    : path_(path), sheet_rows_(sheet_rows), target_(fs, path), scratch_(CreateScratchFile()) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(scratch_->path().c_str(), &options);
    if (workbook_ == nullptr) {
        throw FileError(FileError::Op::Create, scratch_->path(), 0,
                        "The workbook writer could not start");
    }
    percent_ = workbook_add_format(workbook_);
    format_set_num_format(percent_, "0.00%");
}

WorkbookWriter::~WorkbookWriter() {
    Abandon();
}

void WorkbookWriter::Abandon() noexcept {
    if (workbook_ == nullptr) return;
    // The library frees a workbook without closing its sheets' temporary files.
    for (lxw_worksheet* sheet : worksheets_) {
        if (sheet->optimize_tmpfile != nullptr) std::fclose(sheet->optimize_tmpfile);
        sheet->optimize_tmpfile = nullptr;
        sheet->file = nullptr;
    }
    lxw_workbook_free(workbook_);
    workbook_ = nullptr;
}

std::size_t WorkbookWriter::StartSheet(std::string_view value, std::vector<std::string> header) {
    CheckWidth(header.size());
    Sheets& sheets = sheets_.emplace_back();
    sheets.value = value;
    sheets.header = std::move(header);
    NextPart(sheets);
    return sheets_.size() - 1;
}

void WorkbookWriter::NextPart(Sheets& sheets) {
    ++sheets.part;
    sheets.name = names_.Take(sheets.value, sheets.part);
    sheets.sheet = workbook_add_worksheet(workbook_, sheets.name.c_str());
    if (sheets.sheet == nullptr) throw Error("Cannot write the workbook: no sheet " + sheets.name);
    worksheets_.push_back(sheets.sheet);
    // The rows go to a temporary file through a buffer far larger than stdio's own, which
    // would cost a system call every few kilobytes of the sheet's XML. Nothing is written to
    // the file before the first cell. Only the first sheets get one, so that a workbook of
    // hundreds of sheets stays small in memory.
    if (sheets.sheet->optimize_tmpfile != nullptr && tmpfile_buffers_.size() < kBufferedSheets) {
        auto& buffer = tmpfile_buffers_.emplace_back(std::make_unique<char[]>(kTmpfileBuffer));
        std::setvbuf(sheets.sheet->optimize_tmpfile, buffer.get(), _IOFBF, kTmpfileBuffer);
    }
    sheets.rows = 0;
    if (!sheets.header.empty()) {
        for (std::size_t i = 0; i < sheets.header.size(); ++i) {
            WriteText(sheets, i, sheets.header[i]);
        }
        sheets.rows = 1;
    }
}

lxw_worksheet* WorkbookWriter::RowSheet(Sheets& sheets) {
    if (sheets.rows == sheet_rows_) NextPart(sheets);
    return sheets.sheet;
}

std::size_t WorkbookWriter::LastSheet() {
    if (sheets_.empty()) StartSheet("Sheet1");
    return sheets_.size() - 1;
}

void WorkbookWriter::CheckWidth(std::size_t width) const {
    if (width > kSheetColumns) {
        throw Error("Cannot write the workbook: a row of " + std::to_string(width) +
                    " cells, more than the 16384 columns of a sheet");
    }
}

void WorkbookWriter::WriteText(Sheets& sheets, std::size_t column, std::string_view gbk) {
    if (gbk.empty()) return;  // an empty cell is no cell
    cell_.clear();
    AppendWorkbookText(cell_, gbk);
    if (cell_.size() > kCellCharacters && Characters(cell_) > kCellCharacters) {
        throw Error("Cannot write the workbook: a cell of row " + std::to_string(sheets.rows + 1) +
                    " of sheet " + sheets.name + " holds more than the 32767 characters a " +
                    "cell may hold");
    }
    Check(worksheet_write_string(sheets.sheet, lxw_row_t(sheets.rows), lxw_col_t(column),
                                 cell_.c_str(), nullptr),
          "a text cell");
}

void WorkbookWriter::AddRow(std::size_t sheet, std::span<const std::string_view> cells) {
    CheckWidth(cells.size());
    Sheets& sheets = sheets_.at(sheet);
    RowSheet(sheets);
    for (std::size_t i = 0; i < cells.size(); ++i) WriteText(sheets, i, cells[i]);
    ++sheets.rows;
}

void WorkbookWriter::AddRow(std::size_t sheet, std::span<const WorkbookCell> cells) {
    CheckWidth(cells.size());
    Sheets& sheets = sheets_.at(sheet);
    lxw_worksheet* worksheet = RowSheet(sheets);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const WorkbookCell& cell = cells[i];
        if (cell.kind == WorkbookCell::Kind::kText) {
            WriteText(sheets, i, cell.text);
        } else {
            Check(worksheet_write_number(
                      worksheet, lxw_row_t(sheets.rows), lxw_col_t(i), cell.number,
                      cell.kind == WorkbookCell::Kind::kPercent ? percent_ : nullptr),
                  "a number cell");
        }
    }
    ++sheets.rows;
}

void WorkbookWriter::AddRow(std::span<const std::string_view> cells) {
    AddRow(LastSheet(), cells);
}

void WorkbookWriter::AddRow(std::span<const WorkbookCell> cells) {
    AddRow(LastSheet(), cells);
}

void WorkbookWriter::AddHeader(std::span<const std::string_view> cells) {
    if (!sheets_.empty()) {
        AddRow(cells);
        return;
    }
    CheckWidth(cells.size());
    StartSheet("Sheet1", std::vector<std::string>(cells.begin(), cells.end()));
}

void WorkbookWriter::AddBarChart(std::string_view title, std::size_t first_row,
                                 std::size_t last_row, std::size_t name_column,
                                 std::size_t value_column, std::size_t place_column) {
    const Sheets& sheets = sheets_.at(LastSheet());
    lxw_chart* chart = workbook_add_chart(workbook_, LXW_CHART_BAR);
    if (chart == nullptr) throw Error("Cannot write the workbook: no chart");
    lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
    const char* name = sheets.name.c_str();
    chart_series_set_categories(series, name, lxw_row_t(first_row), lxw_col_t(name_column),
                                lxw_row_t(last_row), lxw_col_t(name_column));
    chart_series_set_values(series, name, lxw_row_t(first_row), lxw_col_t(value_column),
                            lxw_row_t(last_row), lxw_col_t(value_column));
    const std::string title_utf8 = Utf8FromGbk(title);
    chart_title_set_name(chart, title_utf8.c_str());
    chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    // The first row at the top, and room for every name.
    chart_axis_set_reverse(chart->y_axis);
    lxw_chart_options place{};
    place.x_scale = 1.5;
    place.y_scale = std::max(1.0, double(last_row - first_row + 1) / 12.0);
    Check(worksheet_insert_chart_opt(sheets.sheet, 0, lxw_col_t(place_column), chart, &place),
          "a chart");
}

void WorkbookWriter::Commit() {
    LastSheet();  // a workbook holds at least one sheet
    // The library does not test its writes to the sheets' temporary files: a full disk there
    // must not pass for a complete workbook.
    for (lxw_worksheet* sheet : worksheets_) {
        if (sheet->optimize_tmpfile != nullptr &&
            (std::fflush(sheet->optimize_tmpfile) != 0 || std::ferror(sheet->optimize_tmpfile))) {
            throw FileError(FileError::Op::Write, path_, errno != 0 ? errno : EIO,
                            "A temporary file of the workbook could not be written");
        }
    }
    lxw_workbook* workbook = std::exchange(workbook_, nullptr);
    worksheets_.clear();
    Check(workbook_close(workbook), "closing");
    scratch_->CopyTo(target_.file());
    target_.Commit();
}

}  // namespace haojian
