#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/database/place_names.h"
#include "core/database/segment_database_writer.h"

namespace haojian::tools {

// The card-type digit of a three-digit number block: the digit whose card type names the
// carrier list that holds the block, or none for a block in no list.
std::optional<char> CardDigitForBlock(std::string_view block);

// What the geocoder tells about one seven-digit prefix.
struct PrefixDescription {
    bool valid = false;  // a number of the prefix is a valid number of the plan
    std::string place;   // UTF-8, province then city; empty when only the country is known
};

// What a build gave, and what it left out.
struct SegmentLinesReport {
    SegmentDatabaseWriter database;
    std::map<std::string, std::size_t> lines_per_city;        // city code -> lines
    std::map<char, std::size_t> lines_per_card;               // card digit -> lines
    std::map<std::string, std::size_t> unlisted_places;       // place -> lines (code xx99)
    std::size_t left_out_invalid = 0;                         // no valid number of the plan
    std::size_t left_out_country_level = 0;                   // known to the country only
    std::size_t left_out_no_carrier = 0;                      // the block is in no carrier list
    std::map<std::string, std::size_t> left_out_no_province;  // place -> prefixes
};

// Builds one line per prefix of [first, last] (seven digits each) that has a valid number,
// a place below the country, a province of the table and a block of a carrier list: the prefix,
// the four-digit city code, the card-type digit.
SegmentLinesReport BuildSegmentLines(
    int first, int last, const PlaceNameMap& places,
    const std::function<PrefixDescription(std::string_view prefix)>& describe);

}  // namespace haojian::tools
