#include "core/table/table_reader.h"

#include <algorithm>
#include <optional>

#include "core/table/cell_text.h"
#include "core/table/column_choice.h"
#include "core/table/delimited_rows.h"
#include "core/table/format_detection.h"
#include "core/table/sheet_rows.h"
#include "core/table/table_error.h"
#include "core/table/workbook_parts.h"
#include "core/text/gbk.h"
#include "core/threads/read_ahead.h"

namespace haojian {
namespace {

// The first rows, from which the number column and header are chosen.
constexpr std::size_t kSampleRows = 100;

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The sheet asked for by name or 1-based number, else the first visible worksheet.
const WorkbookParts::Sheet& ChooseSheet(const WorkbookParts& parts, const std::string& asked,
                                        const std::string& path) {
    if (asked.empty()) {
        for (const auto& sheet : parts.sheets) {
            if (sheet.visible && sheet.worksheet) return sheet;
        }
        throw TableError(TableError::Kind::kNoSheet, path, "the workbook has no visible sheet");
    }
    const std::string utf8 = Utf8FromGbk(asked);
    for (const auto& sheet : parts.sheets) {
        if (sheet.name == utf8) return sheet;
    }
    if (std::all_of(asked.begin(), asked.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        asked.size() < 6) {
        const std::size_t n = std::stoul(asked);
        if (n >= 1 && n <= parts.sheets.size()) return parts.sheets[n - 1];
    }
    std::string names;
    for (const auto& sheet : parts.sheets)
        names += (names.empty() ? "\"" : ", \"") + sheet.name + "\"";
    throw TableError(TableError::Kind::kNoSheet, path,
                     "the workbook has no sheet \"" + utf8 + "\" (its sheets: " + names + ")");
}

// A text list: it is read by the line rule, elsewhere.
class TextListReader final : public TableReader {
public:
    const TableLayout& layout() const override { return layout_; }
    void ReadRows(const std::function<void(const TableRow&)>&) override {}

private:
    TableLayout layout_;
};

class RowTableReader final : public TableReader {
public:
    RowTableReader(std::unique_ptr<ZipParts> zip, std::unique_ptr<SharedStrings> strings,
                   std::unique_ptr<RowSource> source, TableLayout layout,
                   const TableOptions& options, const std::string& path)
        : zip_(std::move(zip)),
          strings_(std::move(strings)),
          source_(std::move(source)),
          layout_(std::move(layout)) {
        std::vector<std::vector<std::string>> first;
        std::vector<std::uint64_t> numbers;
        std::vector<std::string> cells;
        std::uint64_t number = 0;
        while (first.size() < kSampleRows && source_->Next(cells, number)) {
            first.push_back(std::move(cells));
            numbers.push_back(number);
            cells = {};
        }
        std::string why;
        const std::optional<ColumnChoice> choice = ChooseColumn(first, options.column, why);
        if (!choice) throw TableError(TableError::Kind::kNoColumn, path, why);
        layout_.number_column = choice->column;
        layout_.has_header = choice->header;
        for (const auto& row : first) layout_.width = std::max(layout_.width, row.size());
        layout_.width = std::max(layout_.width, choice->column + 1);
        if (choice->header && choice->column < first[0].size()) {
            layout_.header = first[0][choice->column];
        }
        for (std::size_t i = 0; i < first.size(); ++i) {
            first_.push_back(
                {std::move(first[i]), numbers[i], choice->column, i == 0 && choice->header});
        }
    }

    const TableLayout& layout() const override { return layout_; }
    const std::vector<TableRow>& FirstRows() const override { return first_; }

    void ReadRows(const std::function<void(const TableRow&)>& take) override {
        for (TableRow& row : first_) {
            if (row.cells.size() < layout_.width) row.cells.resize(layout_.width);
            take(row);
        }
        first_.clear();
        // The rows are read on a thread of their own while the caller works on those before.
        std::optional<ReadAhead<TableRow>> ahead;
        try {
            ahead.emplace([this](std::vector<TableRow>& batch) { return FillBatch(batch); });
        } catch (const ThreadStartError&) {
            // No thread to be had: the rows are read here, one at a time.
            TableRow row;
            while (NextRow(row)) take(row);
            return;
        }
        while (const std::vector<TableRow>* batch = ahead->Next()) {
            for (const TableRow& row : *batch) take(row);
        }
    }

private:
    static constexpr std::size_t kBatchRows = 2048;

    bool NextRow(TableRow& row) {
        row.number_column = layout_.number_column;
        if (!source_->Next(row.cells, row.number)) return false;
        if (row.cells.size() < layout_.width) row.cells.resize(layout_.width);
        return true;
    }

    // Up to kBatchRows rows into batch, whose rows' storage is reused; false after the last.
    bool FillBatch(std::vector<TableRow>& batch) {
        batch.resize(kBatchRows);
        std::size_t n = 0;
        try {
            while (n < kBatchRows && NextRow(batch[n])) ++n;
        } catch (...) {
            batch.resize(n);
            throw;
        }
        batch.resize(n);
        return n == kBatchRows;
    }

    std::unique_ptr<ZipParts> zip_;  // the rows' source reads from these two
    std::unique_ptr<SharedStrings> strings_;
    std::unique_ptr<RowSource> source_;
    TableLayout layout_;
    std::vector<TableRow> first_;
};

}  // namespace

const std::vector<TableRow>& TableReader::FirstRows() const {
    static const std::vector<TableRow> kNone;
    return kNone;
}

std::string ReadDetectionHead(InputFile& file) {
    std::string head(kDetectionBytes, '\0');
    std::size_t got = 0;
    while (got < head.size()) {
        const std::size_t n = file.Read(head.data() + got, head.size() - got);
        if (n == 0) break;
        got += n;
    }
    head.resize(got);
    return head;
}

std::unique_ptr<TableReader> TableReader::Open(FileSystem& fs, const std::string& path,
                                               const TableOptions& options) {
    std::unique_ptr<InputFile> file = fs.OpenRead(path);
    std::string head = ReadDetectionHead(*file);
    const bool whole = head.size() < kDetectionBytes;
    const DetectedFormat format = DetectFormat(head, whole, FileName(path));
    TableLayout layout;
    switch (format.kind) {
        case DetectedFormat::Kind::kTextList:
            return std::make_unique<TextListReader>();
        case DetectedFormat::Kind::kCompoundFile:
            if (format.encrypted) {
                throw TableError(TableError::Kind::kEncrypted, path,
                                 "the workbook is protected by a password: save it without one "
                                 "and try again");
            }
            throw TableError(TableError::Kind::kOldExcel, path,
                             "an Excel 97-2003 workbook (.xls), which is not read: save it as "
                             ".xlsx (Excel Workbook) and try again");
        case DetectedFormat::Kind::kDelimited: {
            layout.format = TableFormat::kDelimited;
            layout.separator = format.separator;
            auto rows =
                std::make_unique<DelimitedRows>(std::move(file), path, format, std::move(head));
            layout.encoding = rows->EncodingName();
            return std::make_unique<RowTableReader>(nullptr, nullptr, std::move(rows),
                                                    std::move(layout), options, path);
        }
        case DetectedFormat::Kind::kZip:
            break;
    }
    layout.format = TableFormat::kWorkbook;
    auto zip = std::make_unique<ZipParts>(std::move(file), path);
    const WorkbookParts parts = ReadWorkbookParts(*zip);
    const WorkbookParts::Sheet& sheet = ChooseSheet(parts, options.sheet, path);
    if (!sheet.worksheet) {
        throw TableError(TableError::Kind::kNoSheet, path,
                         "sheet \"" + sheet.name + "\" is a chart, which holds no cells");
    }
    layout.sheet = CellTextFromUtf8(sheet.name);
    std::vector<bool> date_styles = DateStyles(*zip, parts.styles);
    auto strings = std::make_unique<SharedStrings>(*zip, parts.shared_strings);
    auto rows = std::make_unique<SheetRows>(*zip, sheet.part, *strings, std::move(date_styles),
                                            parts.date1904);
    return std::make_unique<RowTableReader>(std::move(zip), std::move(strings), std::move(rows),
                                            std::move(layout), options, path);
}

}  // namespace haojian
