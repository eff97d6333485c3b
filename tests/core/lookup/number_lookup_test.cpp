// Resolving numbers: the cases of the look-up, then the indexed look-up against a plain scan on
// randomized databases.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"
#include "core/text/gbk.h"
#include "tests/support/reference_lookup.h"

namespace haojian {
namespace {

using V = std::vector<std::string>;
using testing::ReferenceResult;

SegmentDatabase Db(const V& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return SegmentDatabase::FromBytes(bytes);
}

class NumberLookup : public ::testing::Test {
protected:
    NumberLookup() { ReloadCodeTables(tables_); }

    // Province, city and card type of number, as UTF-8.
    V Resolve(std::string_view number, const SegmentDatabase& db) const {
        const LookupResult r = ResolveNumber(number, db, tables_, DefaultCollation());
        EXPECT_EQ(r.number.data(), number.data());
        EXPECT_EQ(r.number.size(), number.size());
        return {Utf8FromGbk(r.province), Utf8FromGbk(r.city), Utf8FromGbk(r.card_type)};
    }

    CodeTables tables_;
};

TEST_F(NumberLookup, AMatchedLineGivesItsNames) {
    const SegmentDatabase more = Db({"137000005011xyz"});
    const SegmentDatabase first = Db({"138000005011", "139000013013"});
    EXPECT_EQ(Resolve("13800001234", first), (V{"江苏", "南京", "移动"}));
    EXPECT_EQ(Resolve("1390000", first), (V{"重庆", "重庆", "联通"}));
    // More than seven characters: only the first seven count.
    EXPECT_EQ(Resolve("13800009999999999", first), (V{"江苏", "南京", "移动"}));
    EXPECT_EQ(Resolve("1380001", first), (V{"未知", "未知", "移动"}));  // fallback
    // Fewer than seven: the first line that begins with them.
    EXPECT_EQ(Resolve("139", first), (V{"重庆", "重庆", "联通"}));
    EXPECT_EQ(Resolve("1", first), (V{"江苏", "南京", "移动"}));
    // Bytes after position 12 are not read.
    EXPECT_EQ(Resolve("13700001111", more), (V{"江苏", "南京", "移动"}));
}

TEST_F(NumberLookup, ShortLinesGiveTruncatedFields) {
    const SegmentDatabase db = Db({"13000000501",  // 11 bytes
                                   "131000005",    // 9 bytes
                                   "13200000",     // 8 bytes
                                   "1330000",      // 7 bytes
                                   "134"});
    EXPECT_EQ(Resolve("13000001111", db), (V{"江苏", "南京", ""}));
    EXPECT_EQ(Resolve("13100001111", db), (V{"江苏", "未知", ""}));
    EXPECT_EQ(Resolve("13200001111", db), (V{"未知", "未知", ""}));
    EXPECT_EQ(Resolve("13300001111", db), (V{"未知", "未知", ""}));
    // A line shorter than the prefix begins with no seven-byte prefix; "134" is a fallback.
    EXPECT_EQ(Resolve("13400001111", db), (V{"未知", "未知", "移动"}));
    EXPECT_EQ(Resolve("134", db), (V{"未知", "未知", ""}));
}

TEST_F(NumberLookup, TheCardTypeByteMapsOnlyOneToFour) {
    const SegmentDatabase db =
        Db({"130000005011", "130000105012", "130000205013", "130000305014", "130000405010",
            "130000505015", "13000060501a", "13000070501\xB1\xB1"});
    const V expected = {"移动", "电信", "联通", "虚拟", "0", "5", "a"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Resolve("130000" + std::to_string(i) + "9999", db)[2], expected[i]) << i;
    }
    // Half of a double-byte character stays that one byte.
    EXPECT_EQ(ResolveNumber("13000079999", db, tables_, DefaultCollation()).card_type, "\xB1");
}

TEST_F(NumberLookup, CodesMissingFromTheirTableGiveUnknownForThatFieldAlone) {
    const SegmentDatabase db = Db({"130000033011", "130000105992", "13000020a013", "130000304003",
                                   "130000413013", "130000513024"});
    EXPECT_EQ(Resolve("1300000", db), (V{"未知", "未知", "移动"}));
    EXPECT_EQ(Resolve("1300001", db), (V{"江苏", "未知", "电信"}));
    EXPECT_EQ(Resolve("1300002", db), (V{"未知", "未知", "联通"}));
    // 重庆 stands at 04 and at 13.
    EXPECT_EQ(Resolve("1300003", db), (V{"重庆", "重庆", "联通"}));
    EXPECT_EQ(Resolve("1300004", db), (V{"重庆", "重庆", "联通"}));
    EXPECT_EQ(Resolve("1300005", db), (V{"重庆", "黔江", "虚拟"}));
}

TEST_F(NumberLookup, OnlyTheFirstLineOfASegmentIsUsed) {
    const SegmentDatabase db =
        Db({"", "139000005011", "138000106012", "138000007013", "138000008014", "138000109011"});
    EXPECT_EQ(Resolve("13800001234", db), (V{"广东", "广州", "联通"}));
    EXPECT_EQ(Resolve("13800011234", db), (V{"山东", "济南", "电信"}));
    EXPECT_EQ(Resolve("138", db), (V{"山东", "济南", "电信"}));
    EXPECT_EQ(Resolve("13", db), (V{"江苏", "南京", "移动"}));
}

TEST_F(NumberLookup, UnmatchedNumbersFallBackOnTheirLeadingThree) {
    const SegmentDatabase empty = Db({});
    const SegmentDatabase db = Db({"238000005011", std::string("\xEF\xBB\xBF") + "174000005011"});
    for (const SegmentDatabase* d : {&empty, &db}) {
        EXPECT_EQ(Resolve("13900001234", *d), (V{"未知", "未知", "移动"}));
        EXPECT_EQ(Resolve("13300001234", *d), (V{"未知", "未知", "电信"}));
        EXPECT_EQ(Resolve("16600001234", *d), (V{"未知", "未知", "联通"}));
        EXPECT_EQ(Resolve("17000001234", *d), (V{"未知", "未知", "虚拟"}));
        EXPECT_EQ(Resolve("171", *d), (V{"未知", "未知", "虚拟"}));
        for (const char* none : {"17400001234", "19000001234", "", "8613800001234",
                                 "+8613800001234", " 13800001234", "a13", "A", "1 3", "-"}) {
            EXPECT_EQ(Resolve(none, *d), (V{"未知", "未知", "未知"})) << none;
        }
        // One or two characters, or a "|": every list containing them hits, the last wins.
        EXPECT_EQ(Resolve("1", *d)[2], "虚拟");
        EXPECT_EQ(Resolve("13", *d)[2], "联通");
        EXPECT_EQ(Resolve("16", *d)[2], "联通");
        EXPECT_EQ(Resolve("17", *d)[2], "虚拟");
        EXPECT_EQ(Resolve("19", *d)[2], "电信");
        EXPECT_EQ(Resolve("35|", *d)[2], "移动");
        EXPECT_EQ(Resolve("|", *d)[2], "虚拟");
        EXPECT_EQ(Resolve("6|1", *d)[2], "联通");
    }
    // Bytes are matched exactly: a letter's case counts and a marked line serves no segment.
    const SegmentDatabase letters = Db({"13a000005011"});
    EXPECT_EQ(Resolve("13a0000", letters), (V{"江苏", "南京", "移动"}));
    EXPECT_EQ(Resolve("13A0000", letters), (V{"未知", "未知", "未知"}));
    EXPECT_EQ(Resolve("1740000", db), (V{"未知", "未知", "未知"}));
}

// The randomized comparison with the plain scan.

// Bytes that make lines and numbers collide often, with the awkward ones among them.
std::string RandomText(std::mt19937& rng, std::size_t length) {
    static const std::vector<std::string> pieces = {
        "1", "1", "1", "3", "3", "0", "5", "0",        "7",        "2",    "4",    "9",
        "a", "A", "b", "B", " ", "|", "+", "\xB1\xB1", "\xD6\xD8", "\x81", "\xFF", "\xEF\xBB\xBF"};
    std::string text;
    while (text.size() < length) text += pieces[rng() % pieces.size()];
    text.resize(length);
    return text;
}

// A line that mostly has the layout, sometimes not.
std::string RandomLine(std::mt19937& rng) {
    switch (rng() % 8) {
        case 0:
            return "";
        case 1:
            return RandomText(rng, rng() % 14);
        case 2:
            return "\xEF\xBB\xBF" + RandomText(rng, 7 + rng() % 6);
        default: {
            static const char* codes[] = {"0501", "1301", "0400", "1302", "3207", "0599",    "3301",
                                          "aB01", "Ab01", "AB",   "x",    "0a",   "\xB1\xB1"};
            std::string line = "1" + RandomText(rng, 6) + codes[rng() % std::size(codes)];
            line += RandomText(rng, rng() % 4);
            return line;
        }
    }
}

TEST(NumberLookupRandomized, AgreesWithAPlainScan) {
    const LocaleCollation& collation = DefaultCollation();
    CodeTables built_in;
    ReloadCodeTables(built_in);
    // Besides the built-in tables, ones whose codes need the collation.
    CodeTables letters;
    letters.provinces.Assign(testing::LetterCodeRows());
    letters.cities.Assign(testing::LetterCodeRows());
    // Every leading three against no line at all: the fallback lists as stored.
    const SegmentDatabase none;
    for (int n = 0; n < 1000; ++n) {
        const std::string three = std::to_string(1000 + n).substr(1);
        ASSERT_EQ(ResolveNumber(three, none, built_in, collation).card_type,
                  testing::ReferenceResolve(three, {}, built_in, collation).card_type)
            << three;
    }
    std::mt19937 rng(2024);
    static const char* ends[] = {"\r\n", "\n", "\r"};
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> lines;
        std::string bytes;
        const std::size_t count = rng() % 40;
        for (std::size_t i = 0; i < count; ++i) {
            // Repeat an earlier line now and then.
            lines.push_back(!lines.empty() && rng() % 5 == 0 ? lines[rng() % lines.size()]
                                                             : RandomLine(rng));
            bytes += lines.back();
            if (i + 1 == count && rng() % 2) {
                // No end after the last line: an empty one is then no line at all.
                if (lines.back().empty()) lines.pop_back();
                break;
            }
            std::string_view end = ends[rng() % 3];
            // CR, an empty line, then LF would read as one CR LF end.
            if (lines.back().empty() && !bytes.empty() && bytes.back() == '\r' && end[0] == '\n') {
                end = "\r";
            }
            bytes += end;
        }
        const SegmentDatabase db = SegmentDatabase::FromBytes(bytes);
        ASSERT_EQ(testing::ReferenceLines(bytes), lines);
        ASSERT_EQ(db.size(), lines.size());
        const CodeTables& tables = round % 3 == 0 ? letters : built_in;
        const NumberResolver resolve(db, tables, collation);
        for (int n = 0; n < 60; ++n) {
            std::string number;
            if (!lines.empty() && rng() % 2) {
                const std::string& line = lines[rng() % lines.size()];
                number = line.substr(0, rng() % 9) + RandomText(rng, rng() % 12);
            } else {
                number = RandomText(rng, rng() % 21);
            }
            number.resize(std::min<std::size_t>(number.size(), 20));
            const LookupResult got = ResolveNumber(number, db, tables, collation);
            const ReferenceResult want =
                testing::ReferenceResolve(number, lines, tables, collation);
            ASSERT_EQ((ReferenceResult{std::string(got.number), std::string(got.province),
                                       std::string(got.city), std::string(got.card_type)}),
                      want)
                << "round " << round << " number \"" << number << "\"";
            // The resolver of whole lists gives the very same texts.
            const LookupResult fast = resolve(number);
            ASSERT_EQ(std::tie(fast.number, fast.province, fast.city, fast.card_type),
                      std::tie(got.number, got.province, got.city, got.card_type))
                << "round " << round << " number \"" << number << "\"";
        }
    }
}

}  // namespace
}  // namespace haojian
