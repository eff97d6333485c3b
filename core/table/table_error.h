#pragma once

#include <stdexcept>
#include <string>

namespace haojian {

// A file that cannot be read as a table: what is wrong with it, on which file. The reason is
// UTF-8 and names no file; each front end words it with the path.
class TableError : public std::runtime_error {
public:
    enum class Kind {
        kDamaged,      // a damaged or truncated zip, or a part that is not what it should be
        kBrokenXml,    // a sheet or another part whose XML is broken
        kEncrypted,    // a workbook protected by a password
        kOldExcel,     // the binary .xls format
        kTooLarge,     // a part that expands beyond any plausible sheet
        kNoSheet,      // no sheet, or not the one asked for
        kNoColumn,     // no column that holds numbers, or not the one asked for
        kNotSeekable,  // a workbook read from a pipe
    };
    TableError(Kind kind, std::string path, std::string reason)
        : std::runtime_error(reason), kind_(kind), path_(std::move(path)) {}
    Kind kind() const { return kind_; }
    const std::string& path() const { return path_; }
    std::string reason() const { return what(); }

private:
    Kind kind_;
    std::string path_;
};

}  // namespace haojian
