#include "number_lookup.h"

#include "collation.h"
#include "fixed_texts.h"

namespace haojian {

const std::array<FallbackPrefixList, 4> kFallbackPrefixLists = {{
    {"134|135|136|137|138|139|147|150|151|152|157|158|159|172|178|182|183|184|187|188|198|",
     text::kCardMobile},
    {"133|149|153|173|177|180|181|189|199|", text::kCardTelecom},
    {"130|131|132|145|155|156|166|175|176|185|186|166|", text::kCardUnicom},
    {"170|171", text::kCardVirtual},
}};

std::string_view NameForCode(const CodeTable& table, std::string_view code,
                             const LocaleCollation& collation) {
    const auto row = table.Find(code, collation);
    if (!row || *row >= table.NameCount()) return text::kUnknown;
    return table.Name(*row);
}

std::string_view CardTypeForDigit(std::string_view digit) {
    static constexpr std::string_view kCarriers[] = {text::kCardMobile, text::kCardTelecom,
                                                     text::kCardUnicom, text::kCardVirtual};
    if (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '4') return kCarriers[digit[0] - '1'];
    return digit;
}

LookupResult ResolveNumber(std::string_view number, const SegmentDatabase& database,
                           const CodeTables& tables, const LocaleCollation& collation) {
    const std::string_view prefix = number.substr(0, SegmentDatabase::kPrefixLength);
    const std::uint32_t line_index = database.FirstLineWithPrefix(prefix);
    if (line_index != SegmentDatabase::kNoLine) {
        // Positions 8-9 (province), 8-11 (city) and 12 (card type) of the line.
        static_assert(SegmentDatabase::kFieldsFirst == 8 && SegmentDatabase::kFieldsLength == 5);
        const std::string_view fields = database.CodeFields(line_index);
        return {number, NameForCode(tables.provinces, CutField(fields, 1, 2), collation),
                NameForCode(tables.cities, CutField(fields, 1, 4), collation),
                CardTypeForDigit(CutField(fields, 5, 1))};
    }
    LookupResult result{number, text::kUnknown, text::kUnknown, text::kUnknown};
    const std::string_view leading = number.substr(0, 3);
    if (leading.empty()) return result;
    for (const FallbackPrefixList& list : kFallbackPrefixLists) {
        if (list.entries.find(leading) != std::string_view::npos) result.card_type = list.card_type;
    }
    return result;
}

}  // namespace haojian
