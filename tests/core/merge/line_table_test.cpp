// The table of distinct lines keeps the first of each set of equal lines, in text order, also
// among lines whose hashes are equal while their texts differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/merge/line_table.h"
#include "core/text/gbk.h"
#include "core/text/line_list.h"

namespace haojian {
namespace {

using sorting::GeneralLine;
using sorting::LineAt;
using sorting::LineEntry;
using sorting::LineTable;

// The lines of text, each with the hash that hash_of gives it.
template <class HashOf>
std::vector<GeneralLine> Entries(std::string_view text, HashOf&& hash_of) {
    std::vector<GeneralLine> entries;
    ForEachLine(text, [&](std::string_view line) {
        entries.push_back(LineEntry(text, line, hash_of(line)));
    });
    return entries;
}

// The texts kept, added in batches of the given size, in byte order (the table keeps them in
// no particular order).
std::vector<std::string> Kept(std::string_view text, const std::vector<GeneralLine>& entries,
                              std::size_t batch) {
    LineTable table(text);
    for (std::size_t i = 0; i < entries.size(); i += batch) {
        table.AddAll(std::span(entries).subspan(i, std::min(batch, entries.size() - i)));
    }
    std::vector<std::string> kept;
    for (const GeneralLine& l : table.lines()) kept.emplace_back(LineAt(text, l.where));
    std::sort(kept.begin(), kept.end());
    return kept;
}

TEST(LineTable, LinesOfOneHashThatDifferAreAllKeptFirstComeFirst) {
    // Every line has the same hash: each is taken for a repeat of the first at once, and only
    // the comparison of the texts tells them apart. "B" folds to "b", "ΣΣ" to "σσ".
    const std::string text = "a\nb\na\nc\nB\n" + GbkFromUtf8("ΣΣ\nb\nσσ\nC\nd") + "\na\n";
    const auto entries = Entries(text, [](std::string_view) { return 42u; });
    std::vector<std::string> expected = {"a", "b", "c", GbkFromUtf8("ΣΣ"), "d"};
    std::sort(expected.begin(), expected.end());
    for (const std::size_t batch : {std::size_t(1), std::size_t(3), std::size_t(100)}) {
        EXPECT_EQ(Kept(text, entries, batch), expected) << "batches of " << batch;
    }
}

TEST(LineTable, FewHashesForManyLinesGiveWhatTheirOwnHashesGive) {
    // Random lines given one of a few hashes keep the same lines, the first of each in either
    // letter case, as with the hash of their folded text.
    std::mt19937 rng(5);
    std::string text;
    for (int i = 0; i < 6000; ++i) {
        text += "line";
        text += char(rng() % 2 ? 'x' : 'X');
        text += std::to_string(rng() % 500) + "\n";
    }
    const auto own = Entries(text, LocaleCollation::FoldedHash);
    const auto few = Entries(text, [](std::string_view line) { return line.size() % 3; });
    const std::vector<std::string> expected = Kept(text, own, 4096);
    EXPECT_LE(expected.size(), 500u);  // the variants in letter case are gone
    for (const std::size_t batch : {std::size_t(1), std::size_t(777), std::size_t(6000)}) {
        EXPECT_EQ(Kept(text, few, batch), expected) << "batches of " << batch;
    }
}

}  // namespace
}  // namespace haojian
