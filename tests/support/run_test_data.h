#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "segment_database.h"

namespace haojian::testing {

// A few database lines: Nanjing, two codes that both name Chongqing, a line whose codes are in
// no table and whose card byte names no carrier, and a line without a card byte.
SegmentDatabase SmallDatabase();

// Numbers that meet every kind of line above, a number of no line, an empty entry and blanks.
extern const std::vector<std::string> kSampleNumbers;

// The four texts of a row as the look-up gives them for number.
struct RowTexts {
    std::string number, province, city, card_type;
    bool operator==(const RowTexts&) const = default;
};
RowTexts ExpectedRow(const SegmentDatabase& database, std::string_view number);

}  // namespace haojian::testing
