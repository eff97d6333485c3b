#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "core/database/segment_database.h"
#include "core/lookup/code_table.h"
#include "core/text/line_list.h"

namespace haojian {

class LocaleCollation;

// The answer for one number. Every text is a view: into the number itself, the database, the
// code tables' rows or the fixed texts; valid while the number and the database live.
struct LookupResult {
    std::string_view number;
    std::string_view province;
    std::string_view city;
    std::string_view card_type;
};

struct FallbackPrefixList {
    std::string_view entries;  // three-digit entries separated by "|", exactly as stored
    std::string_view card_type;
};

// Tested in this order when no database line matches; every list that contains the number's
// leading three as a run of bytes sets the card type, so the last hit wins.
extern const std::array<FallbackPrefixList, 4> kFallbackPrefixLists;

// The name of code's row in table, or "未知" when the code is in no row or the row has no name.
std::string_view NameForCode(const CodeTable& table, std::string_view code,
                             const LocaleCollation& collation);

// The card type of a matched line's card-type byte: "1".."4" name a carrier, anything else
// (the empty text included) stands for itself.
std::string_view CardTypeForDigit(std::string_view digit);

// Resolves one number: the first database line that begins with its first seven bytes, its
// codes turned into names; else "未知" and a carrier guess from the first three bytes.
LookupResult ResolveNumber(std::string_view number, const SegmentDatabase& database,
                           const CodeTables& tables, const LocaleCollation& collation);

// ResolveNumber for many numbers against one database and one set of code tables, which must
// stay unchanged while it lives: what each distinct code field of the database names is
// worked out once, so that a number costs one step into the index.
class NumberResolver {
public:
    NumberResolver(const SegmentDatabase& database, const CodeTables& tables,
                   const LocaleCollation& collation);

    // The same as ResolveNumber(number, database, tables, collation).
    LookupResult operator()(std::string_view number) const {
        const std::uint32_t id =
            database_.FirstFieldsId(number.substr(0, SegmentDatabase::kPrefixLength));
        if (id == SegmentDatabase::kNoFieldsId) return Unmatched(number);
        const Names& names = names_[id];
        return {number, names.province, names.city, names.card_type};
    }
    // Starts fetching what resolving number will read, for callers that look ahead.
    void Prefetch(std::string_view number) const {
        database_.Prefetch(number.substr(0, SegmentDatabase::kPrefixLength));
    }

private:
    struct Names {
        std::string_view province;
        std::string_view city;
        std::string_view card_type;
    };
    static LookupResult Unmatched(std::string_view number);

    const SegmentDatabase& database_;
    std::vector<Names> names_;  // by distinct code field
};

// Resolves every line of text by the line rule (the caller has cut it at a NUL byte), in
// order, and calls sink(result) for each. It looks a few numbers ahead, so that what they
// need is on its way while the ones before them resolve.
template <class Sink>
void ResolveLines(std::string_view text, const NumberResolver& resolve, Sink&& sink) {
    constexpr std::size_t kAhead = 8;
    std::array<std::string_view, kAhead> ahead;
    std::size_t seen = 0;
    ForEachLine(text, [&](std::string_view number) {
        resolve.Prefetch(number);
        std::string_view& slot = ahead[seen++ % kAhead];
        if (seen > kAhead) sink(resolve(slot));
        slot = number;
    });
    for (std::size_t i = seen > kAhead ? seen - kAhead : 0; i < seen; ++i) {
        sink(resolve(ahead[i % kAhead]));
    }
}

}  // namespace haojian
