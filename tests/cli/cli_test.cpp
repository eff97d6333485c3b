// haojian-cli, run as a program: its output, its exit status and the files it leaves.
#include <filesystem>
#include <string>

#include "cli_fixture.h"
#include "gbk.h"
#include "test_files.h"

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
    std::filesystem::create_directory(dir.path() + "bin");
    const std::string program = dir.path() + "bin/haojian-cli";
    std::filesystem::copy_file(HAOJIAN_CLI, program);
    Result r = Run("lookup -", "1380000\n", program);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(dir.path() + "bin/kelvaronset.dat"), std::string::npos) << r.err;

    std::filesystem::copy_file(db, dir.path() + "bin/kelvaronset.dat");
    r = Run("lookup --utf8 -", "1380000\n", program);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t江苏\t南京\t移动\n");
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
    EXPECT_NE(r.err.find("Cannot open file \"gone.txt\""), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.path() + "out.txt"), "A\r\nb\r\nc\r\n");

    r = Run("merge -o cut.txt -", std::string("z\ny\0x\n", 6));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "文件合并整理完毕！共计：2\n");
    EXPECT_NE(r.err.find("offset 3"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.path() + "cut.txt"), "y\r\nz\r\n");
}

}  // namespace
}  // namespace haojian
