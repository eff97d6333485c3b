#include "tools/support/segment_lines.h"

#include "core/lookup/number_lookup.h"

namespace haojian::tools {

std::optional<char> CardDigitForBlock(std::string_view block) {
    for (const FallbackPrefixList& list : kFallbackPrefixLists) {
        std::string_view entries = list.entries;
        bool listed = false;
        while (!entries.empty() && !listed) {
            const std::size_t bar = entries.find('|');
            listed = entries.substr(0, bar) == block;
            entries = bar == std::string_view::npos ? std::string_view() : entries.substr(bar + 1);
        }
        if (!listed) continue;
        for (const char digit : {'1', '2', '3', '4'}) {
            if (CardTypeForDigit(std::string_view(&digit, 1)) == list.card_type) return digit;
        }
    }
    return std::nullopt;
}

SegmentLinesReport BuildSegmentLines(
    int first, int last, const PlaceNameMap& places,
    const std::function<PrefixDescription(std::string_view prefix)>& describe) {
    SegmentLinesReport report;
    for (int value = first; value <= last; ++value) {
        const std::string prefix = std::to_string(value);
        const PrefixDescription description = describe(prefix);
        if (!description.valid) {
            ++report.left_out_invalid;
            continue;
        }
        if (description.place.empty()) {
            ++report.left_out_country_level;
            continue;
        }
        const PlacePlacement placement = places.Place(description.place);
        if (placement.kind == PlacePlacement::Kind::NoProvince) {
            ++report.left_out_no_province[description.place];
            continue;
        }
        const std::optional<char> card = CardDigitForBlock(std::string_view(prefix).substr(0, 3));
        if (!card) {
            ++report.left_out_no_carrier;
            continue;
        }
        if (placement.kind == PlacePlacement::Kind::UnlistedCity) {
            ++report.unlisted_places[description.place];
        }
        report.database.Add(prefix, placement.code, *card);
        ++report.lines_per_city[placement.code];
        ++report.lines_per_card[*card];
    }
    return report;
}

}  // namespace haojian::tools
