#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/files/file_system.h"

namespace haojian {

// A segment database being made: one line per seven-digit prefix, the prefix followed by the
// four-digit city code and the card-type digit. Lines are written in prefix order, each ended
// by CR LF; a prefix given twice keeps the line it was first given with.
class SegmentDatabaseWriter {
public:
    static constexpr std::size_t kLineBytes = 7 + 4 + 1;

    enum class Added {
        kNew,       // the line was added
        kRepeat,    // prefix has the same line already
        kConflict,  // prefix has a different line, which stays
    };
    // Adds a line unless prefix has one already. prefix must be seven ASCII digits, city_code
    // four and card_digit one (std::invalid_argument otherwise).
    Added Add(std::string_view prefix, std::string_view city_code, char card_digit);
    // The line that prefix has (kLineBytes bytes), or the empty text.
    std::string_view LineOf(std::string_view prefix) const;

    std::size_t size() const { return lines_.size(); }
    // The file's bytes: the lines in prefix order, CR LF after each.
    std::string Bytes() const;
    // Writes Bytes() to path; an existing file there is replaced only once the new one is
    // complete. Throws FileError.
    void Write(const std::string& path, FileSystem& fs = RealFileSystem()) const;

private:
    using Line = std::array<char, kLineBytes>;
    std::vector<Line> lines_;
    std::unordered_map<std::uint32_t, std::uint32_t> index_;  // prefix value to line
};

}  // namespace haojian
