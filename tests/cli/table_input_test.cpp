// lookup and stats on tables: rows written back with their answers, untidy numbers cleaned,
// bad files refused with nothing written.
#include <algorithm>
#include <string>
#include <vector>

#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

const std::string kTables = HAOJIAN_TABLES_DIR;

// The lines of text in byte order: equal counts come in the locale's order, which differs
// between the platforms.
std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(Cli, TableRowsComeBackWithTheirAnswers) {
    dir.Write("people.csv", GbkFromUtf8("姓名,手机,备注\r\n"
                                        "张三,+86 138-0000-1234,\"说,\"\"好\"\"\"\r\n"
                                        "李四,１３９００００５６７８,\"两\r\n行\"\r\n"
                                        "王五,无,\r\n"
                                        ",,\r\n"));
    const Result r = Run("lookup --utf8 --db " + db + " people.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "姓名\t手机\t备注\t省份\t城市\t卡类\n"
              "张三\t+86 138-0000-1234\t说,\"好\"\t江苏\t南京\t移动\n"
              "李四\t１３９００００５６７８\t两  行\t重庆\t重庆\t联通\n"
              "王五\t无\t\t未知\t未知\t未知\n"
              "\t\t\t\t\t\n");
    EXPECT_TRUE(Contains(r.err, "\"people.csv\": read as comma-separated text, GBK")) << r.err;
    EXPECT_TRUE(Contains(r.err, "\"people.csv\": 号码列: B (手机)")) << r.err;
    EXPECT_TRUE(Contains(r.err,
                         "changed 2 entries (\"+86 138-0000-1234\" -> 13800001234, "
                         "\"１３９００００５６７８\" -> 13900005678)"))
        << r.err;
    EXPECT_TRUE(Contains(r.err, "1 entry held no number (\"无\")")) << r.err;

    // GBK out by default; -q leaves out the clean-up's report, not what was decided.
    const Result quiet = Run("lookup -q --db " + db + " people.csv");
    EXPECT_EQ(Utf8FromGbk(quiet.out), r.out);
    EXPECT_FALSE(Contains(quiet.err, "clean-up")) << quiet.err;
    EXPECT_TRUE(Contains(quiet.err, "号码列")) << quiet.err;

    // stats counts the rows under the header that hold something.
    const Result stats = Run("stats --utf8 --by card --db " + db + " people.csv");
    ASSERT_EQ(stats.status, 0) << stats.err;
    EXPECT_EQ(SortedLines(stats.out),
              SortedLines("未知\t1\t33.33%\n移动\t1\t33.33%\n联通\t1\t33.33%\n"));
}

TEST_F(Cli, TextListsAreCleanedOnlyWhenAsked) {
    dir.Write("list.txt", "+86 138 0000 1234\n13900005678\nnone\n");
    const Result as_is = Run("lookup --utf8 --db " + db + " list.txt");
    ASSERT_EQ(as_is.status, 0) << as_is.err;
    EXPECT_EQ(as_is.out,
              "+86 138 0000 1234\t未知\t未知\t未知\n13900005678\t重庆\t重庆\t联通\n"
              "none\t未知\t未知\t未知\n");
    EXPECT_EQ(as_is.err, "");

    const Result cleaned = Run("lookup --clean --utf8 --db " + db + " list.txt");
    ASSERT_EQ(cleaned.status, 0) << cleaned.err;
    EXPECT_EQ(cleaned.out,
              "13800001234\t江苏\t南京\t移动\n13900005678\t重庆\t重庆\t联通\n"
              "none\t未知\t未知\t未知\n");
    EXPECT_TRUE(Contains(cleaned.err,
                         "\"list.txt\": the clean-up changed 1 entry "
                         "(\"+86 138 0000 1234\" -> 13800001234); 1 entry held no "
                         "number (\"none\")"))
        << cleaned.err;
    const Result stats = Run("stats --clean --utf8 --db " + db + " list.txt");
    EXPECT_EQ(SortedLines(stats.out),
              SortedLines("江苏\t1\t33.33%\n未知\t1\t33.33%\n重庆\t1\t33.33%\n"));
}

TEST_F(Cli, WorkbooksBySheetAndColumn) {
    const Result r = Run("lookup --utf8 --db " + db + " --sheet 第三 " + kTables + "openpyxl.xlsx");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "号码\t省份\t城市\t卡类\n13700000000\t未知\t未知\t移动\n");
    EXPECT_TRUE(Contains(r.err, "read as a workbook, sheet \"第三\"")) << r.err;

    const Result by_letter =
        Run("lookup -q --utf8 --db " + db + " --column C " + kTables + "pandas.xlsx");
    ASSERT_EQ(by_letter.status, 0) << by_letter.err;
    EXPECT_TRUE(Contains(by_letter.err, "号码列: C (其他号码)")) << by_letter.err;
    EXPECT_TRUE(Contains(by_letter.out, "\t+86 138-0013-8000\t老客户\t"));
}

TEST_F(Cli, BadTablesAreRefusedAndNothingIsWritten) {
    const std::pair<const char*, const char*> cases[] = {
        {"truncated.xlsx", "damaged workbook"},
        {"broken_xml.xlsx", "XML of xl/worksheets/sheet1.xml is broken"},
        {"old_format.xls", "save it as .xlsx"},
        {"no_numbers.xlsx", "no column holds mobile numbers"},
    };
    for (const auto& [name, words] : cases) {
        for (const char* command : {"lookup", "stats"}) {
            const Result r = Run(std::string(command) + " --db " + db + " " + kTables + name);
            EXPECT_EQ(r.status, 1) << name;
            EXPECT_EQ(r.out, "") << name;
            EXPECT_TRUE(Contains(r.err, name) && Contains(r.err, words)) << r.err;
        }
    }
    dir.Write("locked.xlsx", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "xx" +
                                 std::string("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28));
    const Result encrypted = Run("lookup --db " + db + " locked.xlsx");
    EXPECT_EQ(encrypted.status, 1);
    EXPECT_TRUE(Contains(encrypted.err, "\"locked.xlsx\": the workbook is protected by a password"))
        << encrypted.err;
}

}  // namespace
}  // namespace haojian
