#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/run/result_table.h"

namespace haojian {

class LocaleCollation;

// How many result rows carry one name (a province, a city or a card type), "未知" included.
struct NameCount {
    std::string name;  // GBK, as the rows hold it
    std::size_t count = 0;
};

// part's share of whole, in per cent (0 when whole is 0).
inline double PercentOf(std::size_t part, std::size_t whole) {
    return whole == 0 ? 0.0 : 100.0 * double(part) / double(whole);
}

// A share in per cent as every table and report writes it: two decimals and "%" ("12.50%").
std::string PercentText(double percent);

// The counts of one field over a set of rows: by count, largest first, then by the shared
// collation, then by bytes (so two names that differ only in letter case keep a fixed order).
struct FieldCounts {
    std::vector<NameCount> names;
    std::size_t total = 0;  // the rows counted

    // count's share of total, in per cent (0 when there are no rows).
    double Percent(std::size_t count) const { return PercentOf(count, total); }
    // That share as the statistics write it: two decimals and "%", as in "12.50%".
    std::string PercentText(std::size_t count) const;
};

// The three tables of the statistics: by province, by city and by card type.
struct RowStatistics {
    FieldCounts provinces;
    FieldCounts cities;
    FieldCounts card_types;
};

// Counts one field. Rows mostly share the storage of their texts (a pool of names, the lines
// of the database), so a small cache indexed by a text's address finds its counter without
// hashing the text; a hit is still checked byte for byte, so rows whose texts live anywhere
// (or lived there once) are counted right.
class FieldCounter {
public:
    void Add(std::string_view name);
    FieldCounts Sorted(std::size_t total, const LocaleCollation& collation) const;

private:
    static constexpr std::size_t kSlots = 1021;
    struct Slot {
        std::string_view name;  // the key in counts_, whose nodes never move
        std::size_t* count = nullptr;
    };
    std::unordered_map<std::string, std::size_t> counts_;
    std::array<Slot, kSlots> slots_{};
};

// The three counts, taken a row at a time: for rows that come and go, such as those of a list
// read in pieces.
class RowCounter {
public:
    void Add(std::string_view province, std::string_view city, std::string_view card_type) {
        ++rows_;
        provinces_.Add(province);
        cities_.Add(city);
        card_types_.Add(card_type);
    }
    RowStatistics Sorted(const LocaleCollation& collation) const;

private:
    std::size_t rows_ = 0;
    FieldCounter provinces_;
    FieldCounter cities_;
    FieldCounter card_types_;
};

// Counts the first row_count rows of rows (all of them when row_count exceeds the table) in one
// pass. Names are counted exactly, byte for byte, as the export's filters compare them.
RowStatistics CountRows(const ResultTable& rows, const LocaleCollation& collation,
                        std::size_t row_count = static_cast<std::size_t>(-1));

}  // namespace haojian
