#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line_list.h"

namespace haojian {

class FileSystem;

// The lines of kelvaronset.dat in file order, unsorted, empty lines included; never changed
// once loaded. Besides the lines it keeps an index that answers, for any text of 1 to 7
// bytes, the first line in file order that begins with it: exactly what a scan from the first
// line would find, in constant time.
class SegmentDatabase {
public:
    static constexpr std::size_t kPrefixLength = 7;
    static constexpr std::uint32_t kNoLine = UINT32_MAX;

    SegmentDatabase() = default;
    // Splits bytes by the line rule and builds the index.
    static SegmentDatabase FromBytes(std::string bytes);

    std::size_t size() const { return lines_.size(); }
    std::string_view operator[](std::size_t i) const { return lines_[i]; }

    // The first line that begins with prefix (at most 7 bytes), or kNoLine. The empty prefix
    // begins no line.
    std::uint32_t FirstLineWithPrefix(std::string_view prefix) const;

private:
    void BuildIndex();
    std::size_t Slot(std::uint64_t key) const;

    LineList lines_;
    // Open addressing: keys are the prefix bytes packed with their length; 0 marks a free slot.
    std::vector<std::uint64_t> keys_;
    std::vector<std::uint32_t> first_line_;
    std::uint64_t mask_ = 0;
};

// The file name of the database, in the executable's directory.
inline constexpr std::string_view kDatabaseFileName = "kelvaronset.dat";

// Loads directory + "kelvaronset.dat" (directory ends in "/"). None when no file is there (a
// directory of that name counts as none). Throws Error naming the full path and the system's
// reason when the file is there but cannot be read.
std::optional<SegmentDatabase> LoadSegmentDatabase(FileSystem& fs, const std::string& directory);

}  // namespace haojian
