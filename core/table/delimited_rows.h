#pragma once

#include <memory>
#include <string>

#include "core/files/file_system.h"
#include "core/table/format_detection.h"
#include "core/table/row_source.h"
#include "core/text/list_decoder.h"

namespace haojian {

// The rows of a CSV or TSV file as a stream: its text decoded to GBK a block at a time, fields
// split at the separator, a field in double quotes holding separators, line breaks and doubled
// quotes. A NUL byte is an ordinary character here.
class DelimitedRows final : public RowSource {
public:
    // Reads file (path for messages) as format says, head being the bytes already read from it.
    DelimitedRows(std::unique_ptr<InputFile> file, std::string path, const DetectedFormat& format,
                  std::string head);

    bool Next(std::vector<std::string>& cells, std::uint64_t& number) override;

    // What the text was read as ("UTF-8 with a byte-order mark", "GBK"...).
    std::string EncodingName() const;
    // The characters GBK could not hold, which became "?".
    std::size_t unmapped() const { return decoder_.unmapped(); }

private:
    // A row longer than this is refused: only a quote left open makes one.
    static constexpr std::size_t kLongestRow = std::size_t(64) << 20;

    // Reads and decodes more text; false at the end of the file.
    bool ReadMore();
    // Splits the row at the start of text_ into cells: its length, or 0 when the row goes on
    // past what has been read (and the file has more).
    std::size_t SplitRow(std::vector<std::string>& cells) const;

    std::unique_ptr<InputFile> file_;
    std::string path_;
    DetectedFormat format_;
    ListDecoder decoder_;
    std::string pending_;  // bytes read but not yet decoded (the head)
    std::string buffer_;
    std::string text_;  // decoded, from the row not yet handed out
    std::size_t start_ = 0;
    bool ended_ = false;
    std::uint64_t rows_ = 0;
};

}  // namespace haojian
