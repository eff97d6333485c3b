// Statistics of result rows: counts against a plain count, and the order of the names.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/collation/collation.h"
#include "core/export/row_statistics.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

// Rows whose texts live in the table itself, each row in a fresh buffer.
class OwnedRows final : public ResultTable {
public:
    void Add(std::string province, std::string city, std::string card) {
        rows_.push_back({"13800000000", std::move(province), std::move(city), std::move(card)});
    }
    std::size_t size() const override { return rows_.size(); }
    ResultRowView Row(std::size_t i) const override {
        const Texts& r = rows_[i];
        return {r.number, r.province, r.city, r.card};
    }

private:
    struct Texts {
        std::string number, province, city, card;
    };
    std::vector<Texts> rows_;
};

std::vector<std::string> Names(const FieldCounts& counts) {
    std::vector<std::string> names;
    for (const NameCount& n : counts.names) names.push_back(n.name);
    return names;
}

TEST(RowStatistics, CountsMatchAPlainCountAndOrderByCountThenCollation) {
    const LocaleCollation root("");
    const std::vector<std::string> provinces = {GbkFromUtf8("江苏"),
                                                GbkFromUtf8("北京"),
                                                GbkFromUtf8("重庆"),
                                                std::string(text::kUnknown),
                                                "abc",
                                                "ABC"};
    std::mt19937 random(7);
    OwnedRows rows;
    std::map<std::string, std::size_t> plain;
    for (int i = 0; i < 5000; ++i) {
        // Runs of equal names, as a sorted list gives, and scattered ones.
        const std::string& p = provinces[(i / 7 + random() % 2) % provinces.size()];
        rows.Add(p, p + "x", std::string(text::kCardMobile));
        ++plain[p];
    }
    const RowStatistics stats = CountRows(rows, root);
    EXPECT_EQ(stats.provinces.total, 5000u);
    ASSERT_EQ(stats.provinces.names.size(), plain.size());
    for (const NameCount& n : stats.provinces.names) EXPECT_EQ(n.count, plain[n.name]) << n.name;
    for (std::size_t i = 1; i < stats.provinces.names.size(); ++i) {
        const NameCount& a = stats.provinces.names[i - 1];
        const NameCount& b = stats.provinces.names[i];
        EXPECT_TRUE(a.count > b.count || (a.count == b.count && root.Compare(a.name, b.name) <= 0));
    }
    EXPECT_EQ(stats.cities.names.size(), plain.size());
    ASSERT_EQ(stats.card_types.names.size(), 1u);
    EXPECT_DOUBLE_EQ(stats.card_types.Percent(stats.card_types.names[0].count), 100.0);
}

TEST(RowStatistics, EqualCountsFollowTheCollationAndCaseKeepsNamesApart) {
    const LocaleCollation root("");
    OwnedRows rows;
    for (const char* name : {"b", "B", "a", "c", "c"}) rows.Add(name, name, name);
    const RowStatistics stats = CountRows(rows, root);
    EXPECT_EQ(Names(stats.provinces), (std::vector<std::string>{"c", "a", "B", "b"}));
    EXPECT_DOUBLE_EQ(stats.provinces.Percent(2), 40.0);
    EXPECT_EQ(stats.provinces.PercentText(2), "40.00%");
    // Two decimals, rounded; every table and report writes shares so.
    EXPECT_EQ(PercentText(PercentOf(1, 3)), "33.33%");
    EXPECT_EQ(PercentText(PercentOf(2, 3)), "66.67%");
    EXPECT_EQ(PercentText(PercentOf(4, 102)), "3.92%");
}

// Rows whose texts are made afresh in one buffer for every row: the same address holds a
// different name from row to row, and the names of shared storage (a pool) as well.
class ReusedBufferRows final : public ResultTable {
public:
    explicit ReusedBufferRows(std::vector<std::string> names) : names_(std::move(names)) {}
    std::size_t size() const override { return names_.size(); }
    ResultRowView Row(std::size_t i) const override {
        buffer_ = names_[i];
        return {"13800000000", buffer_, names_[i], buffer_};
    }

private:
    std::vector<std::string> names_;
    mutable std::string buffer_;
};

TEST(RowStatistics, TextsAtOneAddressAreCountedByTheirBytes) {
    const LocaleCollation root("");
    std::vector<std::string> names;
    std::map<std::string, std::size_t> plain;
    std::mt19937 random(3);
    for (int i = 0; i < 3000; ++i) {
        names.push_back(std::string(1 + random() % 3, char('a' + random() % 4)));
        ++plain[names.back()];
    }
    const ReusedBufferRows rows(names);
    const RowStatistics stats = CountRows(rows, root);
    for (const FieldCounts* counts : {&stats.provinces, &stats.cities}) {
        ASSERT_EQ(counts->names.size(), plain.size());
        for (const NameCount& n : counts->names) EXPECT_EQ(n.count, plain[n.name]) << n.name;
    }
}

TEST(RowStatistics, CountsOnlyTheRowsAskedFor) {
    const LocaleCollation root("");
    OwnedRows rows;
    rows.Add("a", "a", "a");
    rows.Add("b", "b", "b");
    const RowStatistics first = CountRows(rows, root, 1);
    EXPECT_EQ(Names(first.provinces), (std::vector<std::string>{"a"}));
    const RowStatistics none = CountRows(OwnedRows(), root);
    EXPECT_TRUE(none.cities.names.empty());
    EXPECT_DOUBLE_EQ(none.cities.Percent(0), 0.0);
    EXPECT_EQ(none.cities.PercentText(0), "0.00%");
}

}  // namespace
}  // namespace haojian
