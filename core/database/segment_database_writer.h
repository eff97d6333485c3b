#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/file_system.h"

namespace haojian {

// A segment database being made: one line per seven-digit prefix, the prefix followed by the
// four-digit city code and the card-type digit. Lines are written in prefix order, each ended
// by CR LF; a prefix given twice keeps the line it was first given with.
class SegmentDatabaseWriter {
public:
    static constexpr std::size_t kLineBytes = 7 + 4 + 1;

    // Adds a line unless prefix has one already; gives whether it was added. prefix must be
    // seven ASCII digits, city_code four and card_digit one (std::invalid_argument otherwise).
    bool Add(std::string_view prefix, std::string_view city_code, char card_digit);

    std::size_t size() const { return lines_.size(); }
    // The file's bytes: the lines in prefix order, CR LF after each.
    std::string Bytes() const;
    // Writes Bytes() to path; an existing file there is replaced only once the new one is
    // complete. Throws FileError.
    void Write(const std::string& path, FileSystem& fs = RealFileSystem()) const;

private:
    using Line = std::array<char, kLineBytes>;
    std::vector<Line> lines_;
    std::vector<bool> taken_;  // by the prefix's value, 0..9999999
};

}  // namespace haojian
