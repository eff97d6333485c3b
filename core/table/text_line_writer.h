#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/files/buffered_writer.h"
#include "core/files/file_system.h"
#include "core/table/csv_writer.h"
#include "core/table/table_writer.h"

namespace haojian {

// A text file of one line per row: the cells parted by one space, as they stand (nothing quoted
// or escaped), then CR LF; the lines of the export file. Replaces path only once complete.
class TextLineWriter final : public TableWriter {
public:
    // Throws FileError (Create).
    TextLineWriter(FileSystem& fs, const std::string& path);

    void AddRow(std::span<const std::string_view> cells) override;
    void Commit() override;

private:
    ReplacementFile file_;
    BufferedWriter out_;
};

// The writer of format at path: text lines, CSV or TSV (in encoding) or a workbook. Throws
// FileError (Create).
std::unique_ptr<TableWriter> OpenTableWriter(FileSystem& fs, const std::string& path,
                                             OutputFormat format, CsvEncoding encoding);

}  // namespace haojian
