#pragma once

#include <span>
#include <string>
#include <string_view>

namespace haojian {

// The kinds of file a result can be written as.
enum class OutputFormat {
    kText,      // the export's lines, or the look-up's tab-separated lines
    kCsv,       // comma-separated values
    kTsv,       // tab-separated values, quoted as CSV is
    kWorkbook,  // an .xlsx workbook
};

// The format a file's name asks for by its extension (ignoring case): .xlsx, .csv or .tsv, and
// text for any other.
OutputFormat OutputFormatFromPath(std::string_view path);
// The format named "txt", "csv", "tsv" or "xlsx"; false for any other name.
bool OutputFormatFromName(std::string_view name, OutputFormat& format);
// The extension of a format's files, with its dot: ".txt", ".csv", ".tsv", ".xlsx".
std::string_view OutputFormatExtension(OutputFormat format);

// A table written a row at a time; cells are GBK bytes. Nothing shows at the target until Commit.
class TableWriter {
public:
    virtual ~TableWriter() = default;
    // Throws FileError, or Error for a cell the format cannot hold.
    virtual void AddRow(std::span<const std::string_view> cells) = 0;
    // Adds the header row: a workbook begins each further sheet of a long table with it again.
    virtual void AddHeader(std::span<const std::string_view> cells) { AddRow(cells); }
    // Puts the complete file in place. Throws FileError.
    virtual void Commit() = 0;
};

}  // namespace haojian
