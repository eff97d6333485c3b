// What both statistics windows show: the total, the cells and the orders a click on a header
// gives, and the chart's bars.
#include "window/statistics_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/collation/collation.h"
#include "core/run/result_table.h"

namespace haojian {
namespace {

// Rows with the given cities (GBK or ASCII), province and card type fixed.
class CityRows final : public ResultTable {
public:
    explicit CityRows(std::vector<std::string> cities) : cities_(std::move(cities)) {}
    std::size_t size() const override { return cities_.size(); }
    ResultRowView Row(std::size_t i) const override {
        return {"13800000000", "P", cities_[i], "C"};
    }

private:
    std::vector<std::string> cities_;
};

std::vector<std::u16string> Column(const StatisticsView& view, StatisticsColumn column) {
    std::vector<std::u16string> cells;
    for (std::size_t row = 0; row < view.RowCount(StatisticsTable::Cities); ++row)
        cells.push_back(view.CellText(StatisticsTable::Cities, row, column));
    return cells;
}

using Cells = std::vector<std::u16string>;

RowStatistics Counted(std::vector<std::string> cities) {
    return CountRows(CityRows(std::move(cities)), DefaultCollation());
}

TEST(StatisticsView, CellsTotalAndTheOrdersOfAClick) {
    StatisticsView view;
    // b x3, a x1, c x1, D x2: counted b, D, a, c (equal counts by name).
    view.Show(Counted({"b", "a", "b", "D", "c", "b", "D"}));
    EXPECT_EQ(view.TotalText(), u"共计：7 条");
    EXPECT_EQ(Column(view, StatisticsColumn::Name), (Cells{u"b", u"D", u"a", u"c"}));
    EXPECT_EQ(Column(view, StatisticsColumn::Count), (Cells{u"3", u"2", u"1", u"1"}));
    EXPECT_EQ(Column(view, StatisticsColumn::Share),
              (Cells{u"42.86%", u"28.57%", u"14.29%", u"14.29%"}));
    EXPECT_EQ(view.SortColumn(StatisticsTable::Cities), StatisticsColumn::Count);
    EXPECT_TRUE(view.SortDescending(StatisticsTable::Cities));

    // The count's header again: the counted list turned round, ties included.
    const auto click = [&](StatisticsColumn column) {
        view.SortBy(StatisticsTable::Cities, column,
                    view.DescendingAfterClick(StatisticsTable::Cities, column));
    };
    click(StatisticsColumn::Count);
    EXPECT_EQ(Column(view, StatisticsColumn::Name), (Cells{u"c", u"a", u"D", u"b"}));
    click(StatisticsColumn::Count);
    EXPECT_EQ(Column(view, StatisticsColumn::Name), (Cells{u"b", u"D", u"a", u"c"}));
    // Another column starts ascending: names in the locale's order, letter case aside.
    click(StatisticsColumn::Name);
    EXPECT_FALSE(view.SortDescending(StatisticsTable::Cities));
    EXPECT_EQ(Column(view, StatisticsColumn::Name), (Cells{u"a", u"b", u"c", u"D"}));
    click(StatisticsColumn::Name);
    EXPECT_EQ(Column(view, StatisticsColumn::Name), (Cells{u"D", u"c", u"b", u"a"}));
    click(StatisticsColumn::Share);
    EXPECT_EQ(Column(view, StatisticsColumn::Share),
              (Cells{u"14.29%", u"14.29%", u"28.57%", u"42.86%"}));
    // Other tables keep their own order; counting again starts every table afresh.
    EXPECT_EQ(view.SortColumn(StatisticsTable::Provinces), StatisticsColumn::Count);
    view.Show(Counted({"a", "b", "b"}));
    EXPECT_EQ(Column(view, StatisticsColumn::Name), (Cells{u"b", u"a"}));
    EXPECT_EQ(view.CellText(StatisticsTable::Cities, 5, StatisticsColumn::Name), u"");

    view.Show(Counted({}));
    EXPECT_EQ(view.TotalText(), u"共计：0 条");
    EXPECT_EQ(view.RowCount(StatisticsTable::Cities), 0u);
}

TEST(StatisticsView, BarsInProportionAndNeverLostForACount) {
    EXPECT_EQ(BarLength(50, 100, 300), 150);
    EXPECT_EQ(BarLength(100, 100, 300), 300);
    EXPECT_EQ(BarLength(1, 1000000, 300), 1);  // too small to see, still drawn
    EXPECT_EQ(BarLength(0, 100, 300), 0);
    EXPECT_EQ(BarLength(0, 0, 300), 0);
    EXPECT_EQ(BarLength(5, 10, 0), 0);
}

}  // namespace
}  // namespace haojian
