#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/export/row_statistics.h"

namespace haojian {

// The statistics window's tables, in the order of their tabs (window_text::kStatisticsTables),
// and the columns of each.
enum class StatisticsTable : std::size_t { Provinces, Cities, CardTypes };
inline constexpr std::size_t kStatisticsTableCount = 3;
enum class StatisticsColumn : std::size_t { Name, Count, Share };

// What both statistics windows show of the result rows' counts: the total, each table's cells
// in the order the user sorted it, and the chart's bars. A window only draws it.
class StatisticsView {
public:
    // Shows the counts of the rows (CountRows, off the UI thread); every table shows its rows as
    // counted again, the largest count first.
    void Show(RowStatistics counted);
    const RowStatistics& Statistics() const { return stats_; }
    const FieldCounts& Counts(StatisticsTable table) const;

    // "共计：N 条", N the rows counted.
    std::u16string TotalText() const;
    std::size_t RowCount(StatisticsTable table) const { return Counts(table).names.size(); }
    // The shown row's name, its count in decimal, or its share as the statistics write it
    // (PercentText: "12.50%").
    std::u16string CellText(StatisticsTable table, std::size_t row, StatisticsColumn column) const;

    // Shows a table sorted by a column: the name in the locale's order, or the count (the share
    // goes with it); rows of equal count keep their counted order, so that a table sorted by
    // count either way is the counted list or that list turned round.
    void SortBy(StatisticsTable table, StatisticsColumn column, bool descending);
    // The order a click on a column's header asks for: the sorted column again turns its order
    // round; another column starts ascending.
    bool DescendingAfterClick(StatisticsTable table, StatisticsColumn column) const;
    StatisticsColumn SortColumn(StatisticsTable table) const { return Order(table).column; }
    bool SortDescending(StatisticsTable table) const { return Order(table).descending; }

private:
    struct RowOrder {
        std::vector<std::size_t> rows;  // indexes into the counts, as shown
        StatisticsColumn column = StatisticsColumn::Count;
        bool descending = true;
    };
    const RowOrder& Order(StatisticsTable table) const { return orders_[std::size_t(table)]; }

    RowStatistics stats_;
    std::array<RowOrder, kStatisticsTableCount> orders_;
};

// The length of a count's bar in room pixels, in proportion to the largest count; at least one
// pixel for a count above 0.
int BarLength(std::size_t count, std::size_t largest, int room);

}  // namespace haojian
