#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/files/buffered_writer.h"
#include "core/files/file_system.h"
#include "core/table/table_writer.h"

namespace haojian {

// How a CSV file's text is stored.
enum class CsvEncoding {
    kGbk,   // the GBK bytes as they are, like every other file the program writes
    kUtf8,  // UTF-8 led by a byte-order mark, which spreadsheet programs need to take it as such
};

// Appends field to out between quotes, its own quotes doubled.
void AppendQuotedCsvField(std::string& out, std::string_view field);

// Appends one record to out: the cells parted by separator, each quoted (its quotes doubled)
// when it holds the separator, a quote, a CR or an LF, or begins or ends with a space (which
// readers may trim), then CR LF. Cells are GBK; with kUtf8 they are written as UTF-8.
void AppendCsvRecord(std::string& out, std::span<const std::string_view> cells, char separator,
                     CsvEncoding encoding);

// A CSV (or, with a TAB as separator, TSV) file at path, replacing any file there only once
// complete (see StagedFile).
class CsvWriter final : public TableWriter {
public:
    // Throws FileError (Create).
    CsvWriter(FileSystem& fs, const std::string& path, char separator, CsvEncoding encoding);

    void AddRow(std::span<const std::string_view> cells) override;
    void Commit() override;

private:
    ReplacementFile file_;
    BufferedWriter out_;
    char separator_;
    CsvEncoding encoding_;
    std::string record_;
};

}  // namespace haojian
