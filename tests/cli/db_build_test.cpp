// haojian-cli db build from segment tables of every common form, and the round trip from the
// shipped database.
#include <string>

#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/files/file_system.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"
#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"
#include "tools/support/segment_table_sample.h"

namespace haojian {
namespace {

// What each table below holds, as a database.
constexpr char kBuilt[] =
    "130000003003\r\n"   // 上海
    "138001305011\r\n"   // 江苏 南京 移动
    "138001430104\r\n"   // 新疆 伊犁 virtual
    "139000004002\r\n"   // 重庆 电信
    "186000108103\r\n";  // 湖北 襄阳 (襄樊)

std::string Utf16Le(const std::string& utf8) {
    std::string bytes("\xFF\xFE", 2);
    for (const char16_t c : Utf16FromGbk(GbkFromUtf8(utf8)))
        bytes += {char(c & 0xFF), char(c >> 8)};
    return bytes;
}

TEST_F(Cli, DbBuildReadsTablesOfEveryCommonForm) {
    const std::string plain =
        "phone,province,city,isp\n"
        "1380013,江苏,南京,中国移动\n"
        "1390000,重庆,重庆,电信\n"
        "1860001,湖北,襄阳,联通\n"
        "1300000,上海,,China Unicom\n"
        "1380014,新疆,伊犁,移动虚拟\n";
    const std::string official =
        "\xEF\xBB\xBF号段\t省份\t城市\t运营商\r\n"
        "1860001\t湖北省\t襄阳市\t中国联通\r\n"
        "1380014\t新疆维吾尔自治区\t伊犁哈萨克自治州\t虚拟运营商\r\n"
        "\r\n"
        "1300000\t上海市\t上海市\tUNICOM\r\n"
        "1380013\t江苏省\t南京市\t移动\r\n"
        "1390000\t重庆市\t\t中国电信\r\n";
    const std::string quoted_gbk = GbkFromUtf8(
        "\"id\",\"prefix\",\"segment\",\"省\",\"市\",\"卡类\"\n"
        "1,\"138\",\"1380013\",\"江苏\",\"南京\",\"移动\"\n"
        "2,\"139\",\"1390000\",\"重庆\",\"重庆市\",\"电信\"\n"
        "3,\"186\",\"1860001\",\"湖北\",\"湖北省襄阳市\",\"联通\"\n"
        "4,\"130\",\"1300000\",\"上海\",\"上海\",\"联通\"\n"
        "5,\"138\",\"1380014\",\"新疆\",\"伊犁\",\"联通虚拟\"\n");
    for (const auto& [name, table] : {std::pair<std::string, std::string>{"plain.csv", plain},
                                      {"official.txt", official},
                                      {"quoted.csv", quoted_gbk},
                                      {"utf16.csv", Utf16Le(plain)}}) {
        dir.Write(name, table);
        const Result r = Run("db build -o " + name + ".dat " + name);
        EXPECT_EQ(r.status, 0) << name << "\n" << r.err;
        EXPECT_EQ(File(name + ".dat"), kBuilt) << name << "\n" << r.err;
        EXPECT_TRUE(Contains(r.err, "rows read: 5\n")) << r.err;
    }
    // Standard input in, standard output out.
    const Result r = Run("db build -o - -", plain);
    EXPECT_EQ(r.out, kBuilt);

    // A table without a carrier column is refused, naming the table.
    dir.Write("bare.csv", "phone,province,city\n1380013,江苏,南京\n");
    const Result bare = Run("db build -o bare.dat bare.csv");
    EXPECT_EQ(bare.status, 1);
    EXPECT_TRUE(Contains(bare.err,
                         "haojian-cli: db build: \"bare.csv\": The header row names no "
                         "column of the carrier"))
        << bare.err;
    EXPECT_EQ(File("bare.dat"), "<missing>");

    // A semicolon-separated table is told which separators are tried; one row is "1 row".
    dir.Write("semi.csv", "phone;province;city;isp\n1380013;江苏;南京;移动\n");
    const Result semi = Run("db build -o semi.dat semi.csv");
    EXPECT_EQ(semi.status, 1);
    EXPECT_TRUE(Contains(semi.err,
                         "; the separators tried are a tab, then a comma (this row holds "
                         "semicolons: save the table comma- or tab-separated)\n"))
        << semi.err;
    dir.Write("one.csv", "phone,province,city,isp\n1380013,江苏,南京,移动\n");
    const Result one = Run("db build -o one.dat one.csv");
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_TRUE(Contains(one.err, "comma-separated, 1 row\n")) << one.err;
    EXPECT_TRUE(Contains(one.err, "\"one.dat\", 1 line\n")) << one.err;
}

TEST_F(Cli, DbBuildReportsWhatItSkipsAndRefusesATableItCannotMostlyMap) {
    std::string table = "phone,province,city,isp\n";
    for (int i = 0; i < 96; ++i) table += std::to_string(1350000 + i) + ",广东,广州,移动\n";
    table +=
        "135000x,广东,广州,移动\n"
        "1350100,香港,,移动\n"
        "1350101,广东,广州,广电\n"
        "1350102,广东\n"
        "1350000,北京,北京,联通\n"   // a conflict: the first row stays
        "1350103,海南,三沙,电信\n"   // no 三沙 in the tables: kept as 海南
        "1350001,广东,广州,移动\n";  // a plain repeat
    dir.Write("t.csv", table);
    dir.Write("out.dat", "old");
    Result r = Run("db build -o out.dat t.csv");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(File("out.dat"), "old");
    for (const std::string part :
         {"rows read: 103\n", "lines: 97\n", "rows skipped: 6\n",
          "  bad prefix: 1\n      \"t.csv\":98: \"135000x\"\n",
          "  unknown province: 1\n      香港: 1 row\n", "  unknown carrier: 1\n      广电: 1 row\n",
          "  too few fields: 1\n      \"t.csv\":101\n",
          "  repeated prefix (the first row kept): 1\n      \"t.csv\":104: 1350001\n",
          "  conflicting prefix (the first row kept, this one differs): 1\n"
          "      \"t.csv\":102: 北京/北京/联通 gives 135000001003, the line kept is "
          "135000007011\n",
          "rows kept at province level (unknown city): 1\n    海南 三沙: 1 row\n",
          "rows not mapped: 4 (3.88% of the rows read)\n",
          "more than 1 % of the rows could not be mapped"}) {
        EXPECT_TRUE(Contains(r.err, part)) << part << "\n" << r.err;
    }

    r = Run("db build --force -o out.dat t.csv");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string built = File("out.dat");
    EXPECT_EQ(built.size(), 97u * 14);
    EXPECT_EQ(built.substr(0, 14), "135000007011\r\n");
    EXPECT_TRUE(built.ends_with("135010319992\r\n"));
}

TEST_F(Cli, DbBuildFromATableOfTheShippedDatabaseAnswersAsTheShippedOne) {
    const std::string shipped_bytes = ReadWholeFile(
        RealFileSystem(), std::string(HAOJIAN_DATA_DIR) + std::string(kDatabaseFileName));
    dir.Write("table.csv", tools::SegmentTableFromDatabase(shipped_bytes, SIZE_MAX, {}));
    const Result r = Run("db build -o built.dat table.csv");
    ASSERT_EQ(r.status, 0) << r.err;

    const SegmentDatabase shipped = SegmentDatabase::FromBytes(shipped_bytes);
    const SegmentDatabase built = SegmentDatabase::FromBytes(File("built.dat"));
    CodeTables tables;
    ReloadCodeTables(tables);
    const LocaleCollation collation("");
    std::size_t differing = 0;
    for (int prefix = 1300000; prefix <= 1999999; ++prefix) {
        const std::string number = std::to_string(prefix) + "1234";
        const LookupResult a = ResolveNumber(number, shipped, tables, collation);
        const LookupResult b = ResolveNumber(number, built, tables, collation);
        if (a.province != b.province || a.city != b.city || a.card_type != b.card_type) {
            if (++differing < 5) ADD_FAILURE() << number;
        }
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_EQ(Run("db check --db built.dat").status, 0);
}

TEST_F(Cli, DbBuildTakesTheSegmentColumnThatHoldsSevenDigitsAndReadsQuotedLineBreaks) {
    // A first row with an empty phone: the column of seven digits is still the phone.
    dir.Write("two.csv",
              "prefix,phone,province,city,isp,note\n"
              "138,,江苏,南京,移动,first\n"
              "138,1380013,江苏,南京,移动,\"two\r\nlines, and \"\"quotes\"\"\"\n"
              "139,1390000,重庆,重庆,电信,x\n");
    Result r = Run("db build -o two.dat two.csv");
    EXPECT_EQ(r.status, 1) << r.err;  // one row of three has no prefix: over 1 %
    EXPECT_TRUE(Contains(r.err, "rows read: 3\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "  bad prefix: 1\n      \"two.csv\":2: \"\"\n")) << r.err;
    r = Run("db build --force -o two.dat two.csv");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(File("two.dat"), "138001305011\r\n139000004002\r\n");

    // A carrier of two networks is reported, not taken as the first.
    dir.Write("both.csv", "phone,province,isp\n1380013,江苏,移动/联通\n1390000,重庆,电信\n");
    r = Run("db build --force -o both.dat both.csv");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.err,
                         "  ambiguous carrier (more than one network): 1\n"
                         "      移动/联通: 1 row\n"))
        << r.err;
    EXPECT_EQ(File("both.dat"), "139000004002\r\n");

    // Nothing mapped: no database, even with --force.
    dir.Write("none.csv", "phone,province,isp\n1380013,火星,移动\n");
    r = Run("db build --force -o none.dat none.csv");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "no row could be mapped")) << r.err;
    EXPECT_EQ(File("none.dat"), "<missing>");
}

TEST_F(Cli, DbBuildAndCheckCutLongValuesWithAMark) {
    const std::string huge(200000, 'x');
    dir.Write("long.csv", "phone,province,isp\n" + huge + ",江苏,移动\n1380013,江苏," + huge +
                              "\n1390000,重庆,电信\n");
    const Result r = Run("db build --force -o long.dat long.csv");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_LT(r.err.size(), 2000u) << r.err.size();
    const std::string cut = std::string(60, 'x') + "…[200000 bytes]";
    EXPECT_TRUE(Contains(r.err, "\"long.csv\":2: \"" + cut + "\"\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "      " + cut + ": 1 row\n")) << r.err;

    dir.Write("long.dat", "139000004002\r\n" + huge + "\r\n");
    const Result check = Run("db check --db long.dat");
    EXPECT_EQ(check.status, 1);
    EXPECT_TRUE(Contains(check.out, "  line 2: " + cut + "\n")) << check.out;
}

}  // namespace
}  // namespace haojian
