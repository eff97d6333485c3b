// The kelvaronset.dat that ships with the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/files/file_system.h"
#include "core/lookup/built_in_code_rows.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

class ShippedDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database_ = LoadSegmentDatabase(RealFileSystem(), HAOJIAN_DATA_DIR);
        ASSERT_TRUE(database_.has_value()) << "no kelvaronset.dat in " << HAOJIAN_DATA_DIR;
    }
    static void TearDownTestSuite() { database_.reset(); }
    static std::optional<SegmentDatabase> database_;
};
std::optional<SegmentDatabase> ShippedDatabase::database_;

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

TEST_F(ShippedDatabase, EveryLineHasTheLayoutAndTheFileIsInPrefixOrder) {
    const SegmentDatabase& db = *database_;
    ASSERT_GT(db.size(), 300000u);
    const std::string bytes = ReadWholeFile(
        RealFileSystem(), std::string(HAOJIAN_DATA_DIR) + std::string(kDatabaseFileName));
    EXPECT_EQ(bytes.size(), db.size() * 14) << "12 bytes and CR LF per line";

    std::string_view previous;
    for (std::size_t i = 0; i < db.size(); ++i) {
        const std::string_view line = db[i];
        ASSERT_EQ(line.size(), 12u) << i;
        ASSERT_TRUE(AllDigits(line)) << line;
        const std::string_view prefix = line.substr(0, 7);
        ASSERT_TRUE(prefix >= "1300000" && prefix <= "1999999") << line;
        ASSERT_LT(previous, prefix) << "prefixes ascend without repeats: " << line;
        previous = prefix;

        const std::string_view province = line.substr(7, 2);
        const std::string_view city = line.substr(7, 4);
        ASSERT_TRUE(std::any_of(kBuiltInProvinceRows.begin(), kBuiltInProvinceRows.end(),
                                [&](const CodeRow& r) { return r.code == province; }))
            << line;
        // A city the table lacks is written as its province followed by 99.
        ASSERT_TRUE(city.substr(2) == "99" ||
                    std::any_of(kBuiltInCityRows.begin(), kBuiltInCityRows.end(),
                                [&](const CodeRow& r) { return r.code == city; }))
            << line;
        ASSERT_TRUE(line[11] >= '1' && line[11] <= '4') << line;
    }
}

TEST_F(ShippedDatabase, WellKnownNumbersResolveToTheirCity) {
    CodeTables tables;
    ReloadCodeTables(tables);
    const LocaleCollation collation("");
    struct Case {
        const char* number;
        const char* province;
        const char* city;
        const char* card;
    };
    for (const Case& c : {
             Case{"13800138000", "北京", "北京", "移动"},
             Case{"18612345678", "北京", "北京", "联通"},
             Case{"13300001234", "广西", "南宁", "电信"},
             Case{"13500041234", "广东", "深圳", "移动"},
             Case{"13912345678", "江苏", "常州", "移动"},
             Case{"13002301234", "重庆", "重庆", "联通"},
             Case{"13031301234", "新疆", "伊犁", "联通"},
             Case{"13030431234", "内蒙", "兴安", "联通"},
             Case{"13035201234", "湖北", "襄樊", "联通"},
             Case{"17000001234", "北京", "北京", "虚拟"},
         }) {
        const LookupResult r = ResolveNumber(c.number, *database_, tables, collation);
        EXPECT_EQ(Utf8FromGbk(r.province), c.province) << c.number;
        EXPECT_EQ(Utf8FromGbk(r.city), c.city) << c.number;
        EXPECT_EQ(Utf8FromGbk(r.card_type), c.card) << c.number;
    }
    // 重庆 is written under province 04; the look-up names it the same as 13 would.
    EXPECT_EQ(database_->operator[](database_->FirstLineWithPrefix("1300230")).substr(7, 4),
              "0400");
}

}  // namespace
}  // namespace haojian
