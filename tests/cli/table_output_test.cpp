// lookup, export and stats writing tables: exact bytes of CSV, TSV and split files, the
// choices of format, and bad usage refused before anything is written.
#include <filesystem>
#include <string>

#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

std::string Gbk(const std::string& utf8) {
    return GbkFromUtf8(utf8);
}

TEST_F(Cli, LookupWritesCsvInGbkOrUtf8AndTsv) {
    dir.Write("list.txt", "13800001234\r\n1390000,9\n\"q\"\n");
    ASSERT_EQ(Run("lookup -q --db " + db + " -o out.csv list.txt").status, 0);
    EXPECT_EQ(File("out.csv"), Gbk("手机号码,省份,城市,卡类\r\n13800001234,江苏,南京,移动\r\n"
                                   "\"1390000,9\",重庆,重庆,联通\r\n"
                                   "\"\"\"q\"\"\",未知,未知,未知\r\n"));
    ASSERT_EQ(Run("lookup -q --utf8 --db " + db + " -o out.csv list.txt").status, 0);
    EXPECT_EQ(File("out.csv").substr(0, 3 + 13), "\xEF\xBB\xBF手机号码,");
    // --format when the name does not say; standard output stays text without -o.
    ASSERT_EQ(Run("lookup -q --db " + db + " --format tsv -o out.list list.txt").status, 0);
    EXPECT_EQ(File("out.list").substr(0, 13), Gbk("手机号码\t省份"));
    EXPECT_EQ(Run("lookup -q --db " + db + " list.txt").out.substr(0, 12), "13800001234\t");
}

TEST_F(Cli, ExportSplitsIntoOneFilePerValue) {
    dir.Write("list.txt", "13800001234\n13900001234\n12345\n13800005678\n");
    std::filesystem::create_directory(dir.path() + "by");
    const Result text = Run("export -q --db " + db + " --split province --layout " +
                            "手机号码+卡类 -o by list.txt");
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(File("by/江苏.txt"), Gbk("138000012** 移动\r\n138000056** 移动\r\n"));
    EXPECT_EQ(File("by/重庆.txt"), Gbk("139000012** 联通\r\n"));
    EXPECT_EQ(File("by/未知.txt"), Gbk("12345** 未知\r\n"));
    // The same in CSV, each file with the header naming the layout's fields; filters first.
    const Result csv = Run("export -q --db " + db + " --split card --format csv --card 移动 " +
                           "--layout 手机号码+城市+卡类 -o by list.txt");
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(File("by/移动.csv"),
              Gbk("手机号码,城市,卡类\r\n138000012**,南京,移动\r\n138000056**,南京,移动\r\n"));
    EXPECT_EQ(File("by/联通.csv"), "<missing>");
}

TEST_F(Cli, TableOptionsRefusedBeforeAnythingIsWritten) {
    dir.Write("list.txt", "13800001234\n");
    const auto refused = [&](const std::string& args) {
        const Result r = Run(args + " --db " + db + " list.txt");
        EXPECT_EQ(r.status, 2) << args << ": " << r.err;
    };
    refused("export --format xls -o out.x");
    refused("export --split town -o by");
    refused("export --split city -o -");
    refused("export --utf8 -o out.txt");
    refused("lookup --utf8 -o out.xlsx");
    refused("stats -o out.csv");
    EXPECT_EQ(File("out.x"), "<missing>");
    EXPECT_EQ(File("out.xlsx"), "<missing>");
}

}  // namespace
}  // namespace haojian
