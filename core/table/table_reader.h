#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/files/file_system.h"
#include "core/table/table_row.h"

namespace haojian {

// What a table file was taken for, decided by its content rather than its name.
enum class TableFormat {
    kTextList,   // one entry a line: read by the line rule, not as a table
    kDelimited,  // CSV or TSV text
    kWorkbook,   // an .xlsx workbook
};

// The user's choices: empty for "decide by content".
struct TableOptions {
    std::string sheet;   // a sheet's name (GBK) or its 1-based number among all sheets
    std::string column;  // a header's text (GBK), a column letter ("C") or a 1-based number
};

// What was decided about a table, for the user to read and for writers to follow.
struct TableLayout {
    TableFormat format = TableFormat::kTextList;
    char separator = ',';   // of a delimited table
    std::string encoding;   // "GBK", "UTF-8", "UTF-16LE"... of a delimited table
    std::string sheet;      // the sheet read (GBK), of a workbook
    std::size_t width = 0;  // the number of columns of the first rows
    std::size_t number_column = 0;
    bool has_header = false;
    std::string header;  // the header's cell in the number column (GBK)
};

// Reads a table as a stream: the rows go by one at a time, in little memory whatever the
// table's length (a workbook's shared strings are held, its rows are not).
class TableReader {
public:
    virtual ~TableReader() = default;

    // Opens the file at path, decides what it is from its content and, for a table, reads its
    // first rows to find the number column and header. Throws TableError for a file that is no
    // readable table (naming it), FileError when it cannot be read. A text list opens too, with
    // layout().format == kTextList, and gives no rows: it is read by the line rule.
    static std::unique_ptr<TableReader> Open(FileSystem& fs, const std::string& path,
                                             const TableOptions& options);

    virtual const TableLayout& layout() const = 0;

    // Calls take for every row in order, the header (when there is one) first. Throws as Open.
    virtual void ReadRows(const std::function<void(const TableRow&)>& take) = 0;

    // The first rows, from which the number column was chosen, until ReadRows takes them; none
    // for a text list.
    virtual const std::vector<TableRow>& FirstRows() const;
};

// The first bytes of file by which its format is decided (all of a shorter file).
std::string ReadDetectionHead(InputFile& file);

}  // namespace haojian
