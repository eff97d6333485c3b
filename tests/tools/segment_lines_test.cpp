// The database lines built from what the geocoder tells about each prefix.
#include "tools/support/segment_lines.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace haojian::tools {
namespace {

TEST(CardDigit, ComesFromTheCarrierBlocks) {
    EXPECT_EQ(CardDigitForBlock("134"), '1');
    EXPECT_EQ(CardDigitForBlock("198"), '1');
    EXPECT_EQ(CardDigitForBlock("133"), '2');
    EXPECT_EQ(CardDigitForBlock("199"), '2');
    EXPECT_EQ(CardDigitForBlock("130"), '3');
    EXPECT_EQ(CardDigitForBlock("166"), '3');
    EXPECT_EQ(CardDigitForBlock("170"), '4');
    EXPECT_EQ(CardDigitForBlock("171"), '4');  // the last entry, with no "|" behind it
    for (const char* block : {"174", "190", "140", "13", "1", "", "4|1"}) {
        EXPECT_EQ(CardDigitForBlock(block), std::nullopt) << block;
    }
}

TEST(SegmentLines, OneLinePerPlacedPrefixInOrderAndTheRestCounted) {
    const std::map<std::string, PrefixDescription> told = {
        {"1380013", {true, "北京市"}},
        {"1380014", {true, ""}},                  // the country only
        {"1380015", {false, ""}},                 // no valid number
        {"1380016", {true, "香港"}},              // no province of the table
        {"1380017", {true, "湖北省神农架林区"}},  // a city the table lacks
        {"1380018", {true, "新疆伊犁哈萨克自治州"}},
    };
    const auto describe = [&](std::string_view prefix) {
        const auto it = told.find(std::string(prefix));
        return it == told.end() ? PrefixDescription{} : it->second;
    };
    const SegmentLinesReport r =
        BuildSegmentLines(1380012, 1380019, BuiltInPlaceNameMap(), describe);
    EXPECT_EQ(r.database.Bytes(), "138001301001\r\n138001708991\r\n138001830101\r\n");
    EXPECT_EQ(r.left_out_invalid, 3u);  // 1380012, 1380015, 1380019
    EXPECT_EQ(r.left_out_country_level, 1u);
    EXPECT_EQ(r.left_out_no_province, (std::map<std::string, std::size_t>{{"香港", 1}}));
    EXPECT_EQ(r.unlisted_places, (std::map<std::string, std::size_t>{{"湖北省神农架林区", 1}}));
    EXPECT_EQ(r.lines_per_card, (std::map<char, std::size_t>{{'1', 3}}));
    EXPECT_EQ(r.lines_per_city.size(), 3u);
}

TEST(SegmentLines, PlacedPrefixesOfBlocksOutsideEveryCarrierListAreLeftOut) {
    const auto describe = [](std::string_view) { return PrefixDescription{true, "北京市"}; };
    const SegmentLinesReport r =
        BuildSegmentLines(1739999, 1740001, BuiltInPlaceNameMap(), describe);
    EXPECT_EQ(r.database.Bytes(), "173999901002\r\n");
    EXPECT_EQ(r.left_out_no_carrier, 2u);
}

}  // namespace
}  // namespace haojian::tools
