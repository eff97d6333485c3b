#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/table/table_reader.h"
#include "core/text/text_encoding.h"

namespace haojian {

// What a file's first bytes say it is.
struct DetectedFormat {
    enum class Kind {
        kTextList,
        kDelimited,
        kZip,           // a workbook, or at least a zip
        kCompoundFile,  // an OLE compound file: an encrypted workbook or an old .xls
    };
    Kind kind = Kind::kTextList;
    bool encrypted = false;  // of a compound file: it holds an encrypted workbook
    char separator = ',';
    ByteOrderMark mark = ByteOrderMark::kNone;
    bool unmarked_utf8 = false;  // UTF-8 text without a byte-order mark
};

// How many bytes of a file's start DetectFormat looks at.
inline constexpr std::size_t kDetectionBytes = std::size_t(64) << 10;

// Decides from head (the file's first kDetectionBytes, or all of a shorter file: whole then
// says so): a zip's or a compound file's signature first; then, in the text, the separator
// (TAB, comma or semicolon) that splits every one of the first rows into the same number of
// fields, more than one. A file named .csv or .tsv whose rows hold one field is a table of
// one column; any other text is a text list.
DetectedFormat DetectFormat(std::string_view head, bool whole, std::string_view file_name);

// The number of fields of each of the first rows of GBK text when split at separator, quoted
// fields read as CSV quotes them; rows that are empty are left out, and so is a last row cut
// off (unless whole). 0 when they differ.
std::size_t SameFieldCount(std::string_view text, char separator, bool whole);

}  // namespace haojian
