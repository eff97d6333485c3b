// A merge of a source without an end stops at its first NUL byte.
#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

TEST_F(Cli, MergeOfAnEndlessSourceStopsAtItsFirstNul) {
    dir.Write("a.txt", "2\n1\n");
    const Result r = Run("merge --memory 64K -o out.txt a.txt /dev/zero a.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "文件合并整理完毕！共计：2\n");
    EXPECT_TRUE(Contains(r.err, "\"/dev/zero\" holds a NUL byte at byte offset 0")) << r.err;
    EXPECT_EQ(File("out.txt"), "1\r\n2\r\n");
}

}  // namespace
}  // namespace haojian
