#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/line_list.h"

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

    // Positions 8 to 12 of line (the codes and the card-type digit), as many of them as the
    // line has. Kept beside the index, so that a look-up need not reach the line itself.
    std::string_view CodeFields(std::uint32_t line) const {
        return distinct_fields_[line_fields_[line]].view();
    }
    // CodeFields of FirstLineWithPrefix(prefix), or none: one step into the index.
    std::optional<std::string_view> FirstCodeFields(std::string_view prefix) const;
    // The same as the number of one of the few distinct code fields the database holds
    // (DistinctFields(id) gives them), or kNoFieldsId: for callers that work out once what
    // each distinct field stands for.
    static constexpr std::uint32_t kNoFieldsId = UINT32_MAX;
    std::uint32_t FirstFieldsId(std::string_view prefix) const;
    std::size_t DistinctFieldsCount() const { return distinct_fields_.size(); }
    std::string_view DistinctFields(std::uint32_t id) const { return distinct_fields_[id].view(); }
    // Starts fetching what FirstCodeFields(prefix) will read, for callers that look ahead.
    void Prefetch(std::string_view prefix) const;
    static constexpr std::size_t kFieldsFirst = 8;
    static constexpr std::size_t kFieldsLength = 5;

private:
    // Open addressing with linear probing, kept at most half full. A key is the prefix bytes
    // packed with their length; 0 marks a free slot. Key and line share a slot so that a
    // look-up touches one cache line.
    struct Slot {
        std::uint64_t key;
        std::uint32_t line;
        std::uint32_t fields;  // of the line, in distinct_fields_
    };
    struct Fields {
        char bytes[kFieldsLength];
        std::uint8_t size;
        std::string_view view() const { return std::string_view(bytes, size); }
    };

    static constexpr std::size_t kMobileSegments = 1000000;

    void BuildIndex();
    // Records line as the first with prefix and gives true, or gives false when an earlier
    // line holds it.
    bool Claim(std::string_view prefix, std::uint32_t line);
    void Grow();
    std::size_t Find(std::uint64_t key) const;

    LineList lines_;
    // The fields of every line, as an index into the few distinct ones a database holds, so
    // that a segment's entry can name them and they stay in the cache.
    std::vector<Fields> distinct_fields_;
    std::vector<std::uint32_t> line_fields_;
    // Seven-digit prefixes that begin with "1", the segments of mobile numbers and the bulk of
    // a real database, by the value of their last six digits: the first line of each (kNoLine
    // for none), and apart from them, in less room, the fields of that line (kNoFields for
    // none), all a look-up needs. Empty while no line begins with such a prefix.
    using FieldsId = std::uint16_t;
    static constexpr FieldsId kNoFields = UINT16_MAX;
    std::vector<std::uint32_t> mobile_;
    std::vector<FieldsId> mobile_fields_;  // empty when the distinct fields are too many
    // Every other prefix.
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

// The file name of the database, in the executable's directory.
inline constexpr std::string_view kDatabaseFileName = "kelvaronset.dat";

// Loads directory + "kelvaronset.dat" (directory ends in "/"). None when no file is there (a
// directory of that name counts as none). Throws FileError (Open or Read, with the full path)
// when the file is there but cannot be read.
std::optional<SegmentDatabase> LoadSegmentDatabase(FileSystem& fs, const std::string& directory);

}  // namespace haojian
