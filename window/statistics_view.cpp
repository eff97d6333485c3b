#include "window/statistics_view.h"

#include <algorithm>
#include <numeric>

#include "core/collation/collation.h"
#include "core/text/gbk.h"
#include "window/main_window_texts.h"

namespace haojian {
namespace {

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

void StatisticsView::Show(RowStatistics counted) {
    stats_ = std::move(counted);
    for (std::size_t t = 0; t < kStatisticsTableCount; ++t)
        SortBy(StatisticsTable(t), StatisticsColumn::Count, true);
}

const FieldCounts& StatisticsView::Counts(StatisticsTable table) const {
    switch (table) {
        case StatisticsTable::Provinces:
            return stats_.provinces;
        case StatisticsTable::Cities:
            return stats_.cities;
        case StatisticsTable::CardTypes:
            break;
    }
    return stats_.card_types;
}

std::u16string StatisticsView::TotalText() const {
    return std::u16string(window_text::kTotalPrefix) +
           Ascii(std::to_string(stats_.provinces.total)) +
           std::u16string(window_text::kTotalSuffix);
}

std::u16string StatisticsView::CellText(StatisticsTable table, std::size_t row,
                                        StatisticsColumn column) const {
    const RowOrder& order = Order(table);
    if (row >= order.rows.size()) return {};
    const FieldCounts& counts = Counts(table);
    const NameCount& name = counts.names[order.rows[row]];
    switch (column) {
        case StatisticsColumn::Name:
            return Utf16FromGbk(name.name);
        case StatisticsColumn::Count:
            return Ascii(std::to_string(name.count));
        case StatisticsColumn::Share:
            break;
    }
    return Ascii(counts.PercentText(name.count));
}

void StatisticsView::SortBy(StatisticsTable table, StatisticsColumn column, bool descending) {
    RowOrder& order = orders_[std::size_t(table)];
    const std::vector<NameCount>& names = Counts(table).names;
    order.column = column;
    order.descending = descending;
    order.rows.resize(names.size());
    std::iota(order.rows.begin(), order.rows.end(), std::size_t(0));
    // Counted: the largest count first, then the names' order. Ascending is that turned round.
    if (column == StatisticsColumn::Name) {
        const LocaleCollation& collation = DefaultCollation();
        std::stable_sort(order.rows.begin(), order.rows.end(), [&](std::size_t a, std::size_t b) {
            const int c = collation.Compare(names[a].name, names[b].name);
            return c != 0 ? c < 0 : names[a].name < names[b].name;
        });
        if (descending) std::reverse(order.rows.begin(), order.rows.end());
    } else if (!descending) {
        std::reverse(order.rows.begin(), order.rows.end());
    }
}

bool StatisticsView::DescendingAfterClick(StatisticsTable table, StatisticsColumn column) const {
    const RowOrder& order = Order(table);
    return order.column == column && !order.descending;
}

int BarLength(std::size_t count, std::size_t largest, int room) {
    if (count == 0 || largest == 0 || room <= 0) return 0;
    return std::max(1, int(double(room) * double(count) / double(largest)));
}

}  // namespace haojian
