#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/file_system.h"
#include "core/files/scratch_file.h"
#include "core/table/sheet_names.h"
#include "core/table/table_writer.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace haojian {

// A cell of a workbook row: a text (GBK), a number, or a number shown as a share in per cent
// ("12.50%"; 0.125 is 12.50%).
struct WorkbookCell {
    enum class Kind { kText, kNumber, kPercent };
    Kind kind = Kind::kText;
    std::string_view text;
    double number = 0;
};

// An .xlsx workbook at path, written by libxlsxwriter a row at a time in its constant-memory
// mode (each sheet's rows go to a temporary file as they come), then copied from a scratch file
// into a StagedFile, so that the target is replaced only once the workbook is complete.
// Every text cell is stored as text, exactly as given.
class WorkbookWriter final : public TableWriter {
public:
    // Throws FileError (Create): the target cannot be written, or no scratch file made.
    // sheet_rows is the most rows a sheet takes before the next part begins.
    WorkbookWriter(FileSystem& fs, const std::string& path, std::size_t sheet_rows = kSheetRows);
    ~WorkbookWriter() override;
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Starts a sheet named after value (GBK; see SheetNames), whose first row is header when
    // header is not empty, and gives its number for AddRow. Rows may go to the sheets started
    // in any order. A sheet that reaches kSheetRows rows goes on in a next one, "value (2)",
    // which begins with the header again.
    std::size_t StartSheet(std::string_view value, std::vector<std::string> header = {});
    // Adds a row of text cells to a sheet (a first sheet "Sheet1" when none was started).
    // Throws Error for a row wider than a sheet or a cell longer than a cell may be.
    void AddRow(std::size_t sheet, std::span<const std::string_view> cells);
    void AddRow(std::size_t sheet, std::span<const WorkbookCell> cells);
    // The same on the sheet started last.
    void AddRow(std::span<const std::string_view> cells) override;
    void AddRow(std::span<const WorkbookCell> cells);
    // Starts the first sheet, "Sheet1", with this header; a row like any other once a sheet
    // has rows.
    void AddHeader(std::span<const std::string_view> cells) override;
    // A native bar chart of the rows first_row..last_row (0-based, as added) of the sheet
    // started last: the names of name_column against the numbers of value_column, placed
    // beside the table at place_column.
    void AddBarChart(std::string_view title, std::size_t first_row, std::size_t last_row,
                     std::size_t name_column, std::size_t value_column, std::size_t place_column);
    // Writes the workbook and puts it in place. Throws FileError, or Error when the library
    // fails.
    void Commit() override;

private:
    // The rows of one value: the sheet they go to now, and the sheets they filled before.
    struct Sheets {
        std::string value;  // GBK
        std::vector<std::string> header;
        std::size_t part = 0;
        lxw_worksheet* sheet = nullptr;
        std::string name;      // UTF-8, of sheet
        std::size_t rows = 0;  // in sheet
    };

    // The sheet that the next row of sheets goes to, a further part when it is full.
    lxw_worksheet* RowSheet(Sheets& sheets);
    void NextPart(Sheets& sheets);
    void WriteText(Sheets& sheets, std::size_t column, std::string_view gbk);
    void CheckWidth(std::size_t width) const;
    std::size_t LastSheet();
    void Abandon() noexcept;

    std::string path_;
    std::size_t sheet_rows_;
    ReplacementFile target_;
    std::unique_ptr<ScratchFile> scratch_;
    lxw_workbook* workbook_ = nullptr;
    lxw_format* percent_ = nullptr;
    std::vector<lxw_worksheet*> worksheets_;  // every one made, to close on abandon
    std::vector<Sheets> sheets_;
    SheetNames names_;
    std::string cell_;  // a cell's UTF-8, reused
    // Buffers of the first sheets' temporary files: freed only once the library closed them.
    std::vector<std::unique_ptr<char[]>> tmpfile_buffers_;
};

// A cell's text as a workbook stores it: UTF-8, with the characters XML cannot carry (control
// characters, CR) written as _xHHHH_ and a text that already reads like such an escape guarded
// by escaping its "_" (_x005F_), so that a spreadsheet program reads back the exact text.
void AppendWorkbookText(std::string& out, std::string_view gbk);

}  // namespace haojian
