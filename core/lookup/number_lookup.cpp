#include "core/lookup/number_lookup.h"

#include "core/collation/collation.h"
#include "core/text/fixed_texts.h"

namespace haojian {

const std::array<FallbackPrefixList, 4> kFallbackPrefixLists = {{
    {"134|135|136|137|138|139|147|150|151|152|157|158|159|172|178|182|183|184|187|188|198|",
     text::kCardMobile},
    {"133|149|153|173|177|180|181|189|199|", text::kCardTelecom},
    {"130|131|132|145|155|156|166|175|176|185|186|166|", text::kCardUnicom},
    {"170|171", text::kCardVirtual},
}};

namespace {

// The card type that the fallback lists give a leading three: every list that contains it sets
// it, so the last hit wins.
std::string_view FallbackCardType(std::string_view leading) {
    std::string_view card_type = text::kUnknown;
    if (leading.empty()) return card_type;
    for (const FallbackPrefixList& list : kFallbackPrefixLists) {
        if (list.entries.find(leading) != std::string_view::npos) card_type = list.card_type;
    }
    return card_type;
}

// FallbackCardType of every leading three of ASCII digits, by its value: the bulk of the
// numbers that no line serves.
struct FallbackByDigits {
    std::array<std::string_view, 1000> card_types;
    FallbackByDigits() {
        for (std::size_t n = 0; n < card_types.size(); ++n) {
            const char digits[3] = {char('0' + n / 100), char('0' + n / 10 % 10),
                                    char('0' + n % 10)};
            card_types[n] = FallbackCardType(std::string_view(digits, 3));
        }
    }
};

const FallbackByDigits kFallbackByDigits;

std::string_view FallbackCardTypeFast(std::string_view number) {
    if (number.size() >= 3) {
        const unsigned a = unsigned(static_cast<unsigned char>(number[0])) - '0';
        const unsigned b = unsigned(static_cast<unsigned char>(number[1])) - '0';
        const unsigned c = unsigned(static_cast<unsigned char>(number[2])) - '0';
        if (a <= 9 && b <= 9 && c <= 9) return kFallbackByDigits.card_types[a * 100 + b * 10 + c];
    }
    return FallbackCardType(number.substr(0, 3));
}

}  // namespace

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

namespace {

// What a line's code fields name: positions 8-9 (province), 8-11 (city) and 12 (card type).
LookupResult Matched(std::string_view number, std::string_view fields, const CodeTables& tables,
                     const LocaleCollation& collation) {
    static_assert(SegmentDatabase::kFieldsFirst == 8 && SegmentDatabase::kFieldsLength == 5);
    return {number, NameForCode(tables.provinces, CutField(fields, 1, 2), collation),
            NameForCode(tables.cities, CutField(fields, 1, 4), collation),
            CardTypeForDigit(CutField(fields, 5, 1))};
}

// No line begins with the number's segment: "未知" and a carrier guess from its leading three.
LookupResult Unmatched(std::string_view number) {
    return {number, text::kUnknown, text::kUnknown, FallbackCardTypeFast(number)};
}

}  // namespace

LookupResult ResolveNumber(std::string_view number, const SegmentDatabase& database,
                           const CodeTables& tables, const LocaleCollation& collation) {
    const std::string_view prefix = number.substr(0, SegmentDatabase::kPrefixLength);
    if (const std::optional<std::string_view> fields = database.FirstCodeFields(prefix)) {
        return Matched(number, *fields, tables, collation);
    }
    return Unmatched(number);
}

NumberResolver::NumberResolver(const SegmentDatabase& database, const CodeTables& tables,
                               const LocaleCollation& collation)
    : database_(database) {
    names_.reserve(database.DistinctFieldsCount());
    for (std::uint32_t id = 0; id < database.DistinctFieldsCount(); ++id) {
        const LookupResult r = Matched({}, database.DistinctFields(id), tables, collation);
        names_.push_back({r.province, r.city, r.card_type});
    }
}

LookupResult NumberResolver::Unmatched(std::string_view number) {
    return haojian::Unmatched(number);
}

}  // namespace haojian
