#pragma once

#include <cstddef>
#include <string>
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

// Counts the first row_count rows of rows (all of them when row_count exceeds the table) in one
// pass. Names are counted exactly, byte for byte, as the export's filters compare them.
RowStatistics CountRows(const ResultTable& rows, const LocaleCollation& collation,
                        std::size_t row_count = static_cast<std::size_t>(-1));

}  // namespace haojian
