// haojian-cli, run as a program: its output, its exit status and the files it leaves.
#include <filesystem>
#include <string>

#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::ReadFileBytes;

TEST_F(Cli, LookupWritesOneLinePerEntry) {
    dir.Write("a.txt", "13800001234\r\n\r\n17012345678");
    dir.Write("b.txt", "13900009999\n");
    const Result r = Run("lookup --db " + db + " a.txt - b.txt", "1390000\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Utf8FromGbk(r.out),
              "13800001234\t江苏\t南京\t移动\n"
              "\t未知\t未知\t未知\n"
              "17012345678\t未知\t未知\t虚拟\n"
              "1390000\t重庆\t重庆\t联通\n"
              "13900009999\t重庆\t重庆\t联通\n");
    // GBK bytes unless asked for UTF-8.
    EXPECT_NE(r.out.find(GbkFromUtf8("江苏")), std::string::npos);
    const Result utf8 = Run("lookup --utf8 --db=" + db + " -", GbkFromUtf8("１３８") + "\n");
    EXPECT_EQ(utf8.out, "１３８\t未知\t未知\t未知\n");
}

TEST_F(Cli, DatabaseIsTakenFromBesideTheProgram) {
    namespace fs = std::filesystem;
    const fs::path bin = dir.path() + "bin";  // a temporary folder's name is ASCII
    fs::create_directory(bin);
    const fs::path program = bin / fs::path(HAOJIAN_CLI).filename();
    fs::copy_file(HAOJIAN_CLI, program);
    Result r = Run("lookup -", "1380000\n", program.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    // The folder as the system names it (with its own separators).
    const fs::path expected = (bin / "kelvaronset.dat").make_preferred();
    EXPECT_TRUE(Contains(r.err, expected.string())) << r.err;

    fs::copy_file(db, bin / "kelvaronset.dat");
    r = Run("lookup --utf8 -", "1380000\n", program.string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t江苏\t南京\t移动\n");
}

TEST_F(Cli, FileNamesOfAnyCharacterReachTheirFiles) {
    // Chinese, a character outside GBK and the basic plane, spaces: as typed in a console.
    const std::string list = "南京 名单😀.txt";
    dir.Write(list, "13800001234\n13900001234\n");
    Result r = RunArgs({"export", "--db", db, "--city", "南京", "-o", "结果 한.txt", list});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(File("结果 한.txt"), "138000012**\r\n");
    r = RunArgs({"merge", "-o", "-", list, "gone 😀.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "\"gone 😀.txt\": Cannot open file")) << r.err;
    EXPECT_EQ(r.out, "");  // a failed merge writes nothing
}

TEST_F(Cli, FailuresAndBadUsage) {
    Result r = Run("lookup --db " + dir.path() + "none.dat -", "1\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("none.dat"), std::string::npos);
    r = Run("lookup --db " + db + " missing.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot open file"), std::string::npos);

    EXPECT_EQ(Run("lookup --db " + db).status, 2);
    EXPECT_EQ(Run("lookup --frob x.txt").status, 2);
    EXPECT_EQ(Run("lookup x.txt --db").status, 2);
    EXPECT_EQ(Run("merge x.txt").status, 2);
    EXPECT_EQ(Run("export --db " + db + " -o out.txt").status, 2);
    EXPECT_EQ(Run("frobnicate").status, 2);
    EXPECT_EQ(Run("").status, 2);
    r = Run("export --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: haojian-cli export", 0), 0u);
}

TEST_F(Cli, ExportFiltersAndMasks) {
    dir.Write("list.txt", "13800001234\n13900001234\n1380000\n");
    Result r =
        Run("export --db " + db + " --city 南京 --layout 手机号码+城市+卡类 -o out.txt list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "导出符合数据2条\n");
    EXPECT_EQ(Utf8FromGbk(ReadFileBytes(dir.path() + "out.txt")),
              "138000012** 南京 移动\r\n1380000** 南京 移动\r\n");

    r = Run("export --db " + db + " --layout 手机号码+一切 -o out.txt list.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("手机号码+一切"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Utf8FromGbk(ReadFileBytes(dir.path() + "out.txt")),
              "138000012** 南京 移动\r\n1380000** 南京 移动\r\n");

    r = Run("export --db " + db + " -o out.txt -", "13900001234\n");
    EXPECT_EQ(r.out, "导出符合数据1条\n");
    EXPECT_EQ(ReadFileBytes(dir.path() + "out.txt"), "139000012**\r\n");
}

TEST_F(Cli, MergeReportsTheCount) {
    dir.Write("a.txt", "b\nA\n");
    dir.Write("out.txt", "a\nc\n");
    Result r = Run("merge -o out.txt a.txt out.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "文件合并整理完毕！共计：3\n");
    EXPECT_EQ(ReadFileBytes(dir.path() + "out.txt"), "A\r\nb\r\nc\r\n");

    r = Run("merge -o out.txt a.txt gone.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"gone.txt\": Cannot open file"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.path() + "out.txt"), "A\r\nb\r\nc\r\n");

    r = Run("merge -o cut.txt -", std::string("z\ny\0x\n", 6));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "文件合并整理完毕！共计：2\n");
    EXPECT_NE(r.err.find("offset 3"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.path() + "cut.txt"), "y\r\nz\r\n");
}

TEST_F(Cli, LookupOfALongListIsTheLookupOfItsPieces) {
    // Long enough to be shared among threads; every kind of line end, empty lines and numbers
    // the database does not serve.
    std::string list;
    std::string pieces_output;
    const char* const ends[] = {"\r\n", "\n", "\r", "\n\r"};
    for (int piece = 0; piece < 4; ++piece) {
        std::string text;
        for (int i = 0; i < 20000; ++i) {
            text += (i % 3 == 0 ? "1380000" : (i % 3 == 1 ? "139000" : "17")) +
                    std::to_string(i % 10000) + ends[i % 4];
        }
        text += "13800009999\n";  // a piece ends with a line end
        list += text;
        const std::string path = dir.Write("piece.txt", text);
        const Result r = Run("lookup --db " + db + " " + path);
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_LT(text.size(), std::size_t(256) << 10);  // one piece, one thread
        pieces_output += r.out;
    }
    const Result whole = Run("lookup --db " + db + " " + dir.Write("whole.txt", list));
    EXPECT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(whole.out, pieces_output);
}

TEST_F(Cli, ANulByteEndsAListAndIsReported) {
    using namespace std::string_literals;
    dir.Write("cut.txt",
              "13800001234\r\n1390000\0"
              "13800000000\n"s);
    dir.Write("whole.txt", "13900001111\n");
    const Result r = Run("lookup --utf8 --db " + db + " cut.txt whole.txt");
    EXPECT_EQ(r.status, 1);
    // What stands before the byte is looked up, and the lists after it too.
    EXPECT_EQ(r.out,
              "13800001234\t江苏\t南京\t移动\n"
              "1390000\t重庆\t重庆\t联通\n"
              "13900001111\t重庆\t重庆\t联通\n");
    EXPECT_NE(r.err.find("cut.txt\" holds a NUL byte at byte offset 20: the list ends there"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("whole.txt"), std::string::npos) << r.err;

    // A failed export leaves its file as it was.
    dir.Write("out.txt", "old\r\n");
    const Result e = Run("export --db " + db + " -o out.txt cut.txt whole.txt");
    EXPECT_EQ(e.status, 1);
    EXPECT_EQ(ReadFileBytes(dir.path() + "out.txt"), "old\r\n");
    EXPECT_EQ(e.out, "");
    EXPECT_NE(e.err.find("export: \"out.txt\" is left as it was\n"), std::string::npos) << e.err;
    EXPECT_NE(e.err.find("cut.txt\" holds a NUL byte at byte offset 20: the list ends there"),
              std::string::npos)
        << e.err;

    // stats counts what stands before the byte, and says so too.
    const Result s = Run("stats --by card --utf8 --db " + db + " cut.txt whole.txt");
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.out, "联通\t2\t66.67%\n移动\t1\t33.33%\n");
    EXPECT_NE(s.err.find("cut.txt\" holds a NUL byte at byte offset 20: the list ends there"),
              std::string::npos)
        << s.err;
}

TEST_F(Cli, ANulByteIsWordedAlikeInEveryCommandAndUtf16WithoutAMarkIsNamed) {
    using namespace std::string_literals;
    // "13,1" in UTF-16LE without a byte-order mark: the text ends at byte 1.
    const std::string utf16 =
        "1\0"
        "3\0,\0"
        "1\0"s;
    const std::string hint =
        " holds a NUL byte at byte offset 1 (it looks like UTF-16 without a "
        "byte-order mark): ";
    dir.Write("u.txt", utf16);
    Result r = Run("lookup --db " + db + " u.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "haojian-cli: lookup: \"u.txt\"" + hint + "the list ends there\n");
    r = Run("merge -o m.txt u.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "haojian-cli: merge: \"u.txt\"" + hint)) << r.err;
    dir.Write("u.dat", utf16);
    r = Run("db check --db u.dat");
    EXPECT_TRUE(Contains(r.out, "\"u.dat\"" + hint + "the 6 bytes after it are never read\n"))
        << r.out;
    r = Run("lookup --db u.dat -", "1380000\n");  // the database cut short is said too
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Contains(r.err, "\"u.dat\"" + hint + "the database ends there\n")) << r.err;
    r = Run("db build -o out.dat u.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "haojian-cli: db build: \"u.txt\"" + hint +
                         "the table is refused, and \"out.dat\" is left as it was\n");

    // Offsets count the file's bytes, marks and all: a NUL in UTF-16 is two bytes at an even
    // offset, in UTF-8 one.
    dir.Write("marked.csv", "\xFF\xFEp\0,\0\0\0"s);
    r = Run("db build -o out.dat marked.csv");
    EXPECT_TRUE(Contains(r.err, "\"marked.csv\" holds a NUL byte at byte offset 6: ")) << r.err;
    dir.Write("marked.txt",
              "\xFF\xFE"
              "1\0\0\0"
              "2\0"s);
    r = Run("lookup --db " + db + " marked.txt");
    EXPECT_TRUE(Contains(r.err, "\"marked.txt\" holds a NUL byte at byte offset 4: ")) << r.err;
    dir.Write("marked8.txt", "\xEF\xBB\xBF张\0"s);
    r = Run("lookup --db " + db + " marked8.txt");
    EXPECT_TRUE(Contains(r.err, "\"marked8.txt\" holds a NUL byte at byte offset 6: ")) << r.err;
}

}  // namespace
}  // namespace haojian
