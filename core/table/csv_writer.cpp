#include "core/table/csv_writer.h"

#include "core/text/gbk.h"

namespace haojian {
namespace {

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

void AppendField(std::string& out, std::string_view field, char separator) {
    const bool quoted = field.find_first_of(std::string_view("\"\r\n", 3)) != field.npos ||
                        field.find(separator) != field.npos ||
                        (!field.empty() && (field.front() == ' ' || field.back() == ' '));
    if (quoted) {
        AppendQuotedCsvField(out, field);
    } else {
        out += field;
    }
}

}  // namespace

void AppendQuotedCsvField(std::string& out, std::string_view field) {
    out += '"';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendCsvRecord(std::string& out, std::span<const std::string_view> cells, char separator,
                     CsvEncoding encoding) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += separator;
        // GBK's trail bytes are never a separator, quote or line end, so the test above holds
        // for either encoding.
        if (encoding == CsvEncoding::kUtf8 && !IsAscii(cells[i])) {
            AppendField(out, Utf8FromGbk(cells[i]), separator);
        } else {
            AppendField(out, cells[i], separator);
        }
    }
    out += "\r\n";
}

CsvWriter::CsvWriter(FileSystem& fs, const std::string& path, char separator, CsvEncoding encoding)
    : file_(fs, path), out_(file_.file()), separator_(separator), encoding_(encoding) {
    if (encoding_ == CsvEncoding::kUtf8) out_.Append("\xEF\xBB\xBF");
}

void CsvWriter::AddRow(std::span<const std::string_view> cells) {
    record_.clear();
    AppendCsvRecord(record_, cells, separator_, encoding_);
    out_.Append(record_);
}

void CsvWriter::Commit() {
    out_.Flush();
    file_.Commit();
}

}  // namespace haojian
