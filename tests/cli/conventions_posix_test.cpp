// What only a POSIX system lets a user hand the tool: arguments that are no UTF-8, and the
// device files /dev/stdout and /dev/full.
#include <string>

#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

TEST_F(Cli, ArgumentsThatAreNoUtf8AreShownEscapedOrTakenAsGbk) {
    dir.Write("list.txt", "13800001234\n13900001234\n");
    // A name that is no UTF-8 is shown escaped.
    Result r = RunArgs({"lookup", "--db", db, "bad\377name"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "haojian-cli: lookup: \"bad\\xFFname\": Cannot open file (No such file or "
              "directory)\n");

    // A filter that is neither UTF-8 nor GBK is refused before any work.
    r = RunArgs({"export", "--db", "none.dat", "--city", "\377", "-o", "out.txt", "none.txt"});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(Contains(r.err, "none.")) << r.err;

    // A filter that is no UTF-8 but GBK is taken as GBK: 南京.
    r = RunArgs({"export", "--db", db, "--city", "\304\317\276\251", "-o", "-", "list.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "138000012**\r\n");
}

TEST_F(Cli, DeviceFilesAsOutput) {
    dir.Write("list.txt", "13800001234\n13900001234\n");
    const Result r = Run("export --db " + db + " -o /dev/stdout list.txt");
    EXPECT_EQ(r.out, "138000012**\r\n139000012**\r\n");
    EXPECT_EQ(r.err, "导出符合数据2条\n");

    // A full disk, worded alike in every command.
    for (const std::string& command : {"export --db " + db + " -o /dev/full list.txt",
                                       std::string("merge -o /dev/full list.txt")}) {
        const Result full = Run(command);
        EXPECT_EQ(full.status, 1) << command;
        EXPECT_TRUE(
            full.err.ends_with(": \"/dev/full\": Cannot write file (No space left on device)\n"))
            << command << ": " << full.err;
    }
}

}  // namespace
}  // namespace haojian
