// The habits of a Unix tool: help, version, standard streams, messages, early argument checks,
// byte-order marks.
#include <filesystem>
#include <string>
#include <vector>

#include "core/base/version.h"
#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

TEST_F(Cli, HelpOnTheToolAndEveryCommandAndOneVersion) {
    for (const std::string command :
         {"", "lookup ", "export ", "merge ", "stats ", "db ", "db build ", "db check "}) {
        for (const std::string flag : {"-h", "--help"}) {
            const Result r = Run(command + flag);
            EXPECT_EQ(r.status, 0) << command << flag;
            EXPECT_EQ(r.out.rfind("Usage: haojian-cli " + command, 0), 0u) << command << flag;
            EXPECT_EQ(r.err, "") << command << flag;
        }
    }
    const std::string help = Run("export --help").out;
    for (const std::string text :
         {"手机号码 ", "手机号码+省份 ", "手机号码+城市 ", "手机号码+卡类 ", "手机号码+省份+卡类 ",
          "手机号码+城市+卡类 ", "移动", "电信", "联通", "虚拟", "-o -", "-q"}) {
        EXPECT_TRUE(Contains(help, text)) << text;
    }
    const Result version = Run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "haojian-cli " + std::string(kVersion) + "\n");
}

TEST_F(Cli, DataAloneOnStandardOutputAndTheStatusOnStandardError) {
    dir.Write("list.txt", "13800001234\n13900001234\n");
    Result r = Run("export --db " + db + " --layout 手机号码+城市 -o - list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Utf8FromGbk(r.out), "138000012** 南京\r\n139000012** 重庆\r\n");
    EXPECT_EQ(r.err, "导出符合数据2条\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "-"));

    r = Run("merge -o - - list.txt", "b\nA\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "13800001234\r\n13900001234\r\nA\r\nb\r\n");
    EXPECT_EQ(r.err, "文件合并整理完毕！共计：4\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "-"));
}

TEST_F(Cli, ErrorsNameTheCommandTheFileAndTheSystemsReason) {
    dir.Write("list.txt", "13800001234\n");
    Result r = Run("export --db " + db + " -o nodir/x.txt list.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("haojian-cli: export: \"nodir/x.txt\": ", 0), 0u) << r.err;
    EXPECT_TRUE(testing::EndsWithSystemReason(r.err, "", "No such file or directory")) << r.err;

    r = Run("stats --db none.dat list.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("haojian-cli: stats: ", 0), 0u) << r.err;
    EXPECT_TRUE(testing::EndsWithSystemReason(
        r.err, "haojian-cli: stats: \"none.dat\": No segment database file",
        "No such file or directory"))
        << r.err;

    r = Run("merge -o cut.txt -", std::string("z\0", 2));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        Contains(r.err,
                 "haojian-cli: merge: standard input holds a NUL byte at byte offset 1: the merged "
                 "text ends there, and the lines before it are written\n"))
        << r.err;
}

TEST_F(Cli, OneWordingForAFailureInEveryCommand) {
    dir.Write("list.txt", "13800001234\n");
    // The same missing list.
    for (const std::string& command :
         {"lookup --db " + db + " gone.txt", "export --db " + db + " -o out.txt gone.txt",
          std::string("merge -o out.txt gone.txt")}) {
        const Result r = Run(command);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_TRUE(testing::EndsWithSystemReason(r.err, ": \"gone.txt\": Cannot open file",
                                                  "No such file or directory"))
            << command << ": " << r.err;
    }
}

TEST_F(Cli, ArgumentsAreCheckedBeforeAnyWork) {
    // No database and no list: the argument is what is reported.
    for (const std::string args : {"--layout 手机号码+一切", "--card 移"}) {
        const Result r = Run("export --db none.dat " + args + " -o out.txt none.txt");
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_FALSE(Contains(r.err, "none.")) << r.err;
    }
    EXPECT_EQ(Run("stats --by county --db none.dat none.txt").status, 2);

    // A province no row can carry is said, and the export still runs (and finds nothing).
    dir.Write("list.txt", "13800001234\n13900001234\n");
    const Result none = Run("export --db " + db + " --province 江苏省 -o - list.txt");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_TRUE(Contains(none.err, "no row can have the province '江苏省'")) << none.err;
}

TEST_F(Cli, ListsWithAByteOrderMarkAreReadAsTheirTextAndSaidSo) {
    const std::string plain = "13800001234\r\n1390000\r\n";
    const std::string expected = Run("lookup --utf8 --db " + db + " -", plain).out;
    std::u16string utf16 = u"13800001234\r\n1390000\r\n";
    std::string little("\xFF\xFE", 2);
    std::string big("\xFE\xFF", 2);
    for (const char16_t c : utf16) {
        little += {char(c & 0xFF), char(c >> 8)};
        big += {char(c >> 8), char(c & 0xFF)};
    }
    dir.Write("bom.txt", "\xEF\xBB\xBF" + plain);
    dir.Write("le.txt", little);
    dir.Write("be.txt", big);
    const Result r = Run("lookup --utf8 --db " + db + " bom.txt le.txt - be.txt", little);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected + expected + expected + expected);
    EXPECT_EQ(r.err,
              "haojian-cli: lookup: \"bom.txt\": read as UTF-8 and converted to GBK\n"
              "haojian-cli: lookup: \"le.txt\": read as UTF-16LE and converted to GBK\n"
              "haojian-cli: lookup: standard input: read as UTF-16LE and converted to GBK\n"
              "haojian-cli: lookup: \"be.txt\": read as UTF-16BE and converted to GBK\n");
}

TEST_F(Cli, AUtf8MarkMeansUtf8TextAndEachCharacterGbkLacksIsOneQuestionMark) {
    // 张三 in UTF-8 comes out as 张三, not as its bytes taken for GBK; 한 and 😀 have no GBK:
    // each is one "?", counted once, 😀 (past the Basic Multilingual Plane) as well.
    dir.Write("names.txt", "\xEF\xBB\xBF张三\n한😀\n한\n");
    const Result r = Run("lookup --utf8 --db " + db + " names.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "张三\t未知\t未知\t未知\n??\t未知\t未知\t未知\n?\t未知\t未知\t未知\n");
    EXPECT_EQ(r.err,
              "haojian-cli: lookup: \"names.txt\": read as UTF-8 and converted to GBK\n"
              "haojian-cli: lookup: \"names.txt\": 3 characters that GBK cannot hold became "
              "\"?\"\n");
}

TEST_F(Cli, OptionsAsGetoptUsersTypeThem) {
    dir.Write("list.txt", "13800001234\n");
    Result r = Run("export --db " + db + " -oout.txt list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(File("out.txt"), "138000012**\r\n");
    r = Run("export --db " + db + " -qo other.txt list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(File("other.txt"), "138000012**\r\n");
    r = Run("merge -qoq.txt list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(File("q.txt"), "13800001234\r\n");
    r = Run("merge -qx -o y.txt list.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Contains(r.err, "unknown option -x")) << r.err;

    // help COMMAND is COMMAND --help, at either level.
    EXPECT_EQ(Run("help export").out, Run("export --help").out);
    EXPECT_EQ(Run("help db check").out, Run("db check --help").out);
    EXPECT_EQ(Run("db help build").out, Run("db build --help").out);
    EXPECT_EQ(Run("help").out.rfind("Usage: haojian-cli COMMAND", 0), 0u);
}

TEST_F(Cli, AnUnknownCommandNamesItselfAndWhatTypedIsShownEscaped) {
    Result r = Run("frobnicate");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "haojian-cli: unknown command 'frobnicate'\nTry 'haojian-cli --help'.\n");
    r = Run("db frob");
    EXPECT_EQ(r.err, "haojian-cli: unknown command 'db frob'\nTry 'haojian-cli db --help'.\n");

    // Options before the command are the command's, values and all; without one, where they
    // go is said.
    dir.Write("list.txt", "1380000\n");
    r = Run("-q --db " + db + " --utf8 lookup list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t江苏\t南京\t移动\n");
    r = Run("db -q check --db " + db);
    EXPECT_EQ(r.status, 2);  // db check takes no -q: its own message says so
    EXPECT_EQ(r.err,
              "haojian-cli: db check: unknown option -q\nTry 'haojian-cli db check --help'.\n");
    r = Run("-q list.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "haojian-cli: no command given; options go with a command, as in 'haojian-cli "
              "lookup -q ...'\nTry 'haojian-cli --help'.\n");

    // An OSC sequence that would retitle the terminal is shown, not sent.
    const std::string osc = "\033]0;owned\007";
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{osc},
                                               {"export", "--card", osc, "-o", "x", "x"},
                                               {"export", "--layout", osc, "-o", "x", "x"},
                                               {"stats", "--by", osc, "x"},
                                               {"lookup", "--" + osc, "x"},
                                               {"db", "check", osc}}) {
        r = RunArgs(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_FALSE(Contains(r.err, "\033")) << r.err;
        EXPECT_FALSE(Contains(r.err, "\007")) << r.err;
        EXPECT_TRUE(Contains(r.err, "\\x1B]0;owned\\x07")) << r.err;
    }
}

}  // namespace
}  // namespace haojian
