#include "core/table/text_line_writer.h"

#include "core/table/workbook_writer.h"

namespace haojian {

TextLineWriter::TextLineWriter(FileSystem& fs, const std::string& path)
    : file_(fs, path), out_(file_.file(), std::size_t(256) << 10) {}

void TextLineWriter::AddRow(std::span<const std::string_view> cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out_.Append(' ');
        out_.Append(cells[i]);
    }
    out_.Append(std::string_view("\r\n", 2));
}

void TextLineWriter::Commit() {
    out_.Flush();
    file_.Commit();
}

std::unique_ptr<TableWriter> OpenTableWriter(FileSystem& fs, const std::string& path,
                                             OutputFormat format, CsvEncoding encoding) {
    switch (format) {
        case OutputFormat::kCsv:
            return std::make_unique<CsvWriter>(fs, path, ',', encoding);
        case OutputFormat::kTsv:
            return std::make_unique<CsvWriter>(fs, path, '\t', encoding);
        case OutputFormat::kWorkbook:
            return std::make_unique<WorkbookWriter>(fs, path);
        case OutputFormat::kText:
            break;
    }
    return std::make_unique<TextLineWriter>(fs, path);
}

}  // namespace haojian
