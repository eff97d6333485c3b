// haojian-cli merge within a memory budget: runs in a temporary folder give the bytes of the
// merge in memory, and a folder that cannot take them fails naming it.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/cli_fixture.h"
#include "tests/support/faulty_file_system.h"

namespace haojian {
namespace {

using testing::FileNames;
using testing::ReadFileBytes;

TEST_F(Cli, MergeBeyondItsMemoryGivesTheSameBytes) {
    std::string digits, text;
    for (int i = 0; i < 3000; ++i) {
        digits += std::to_string(13800000000LL + i * 7919LL % 2000) + "\r\n";
        text += (i % 2 ? "Line " : "LINE ") + std::to_string(i * 31 % 1700) + "\n";
    }
    dir.Write("a.txt", digits);
    dir.Write("b.txt", text + "no line end");
    dir.Write("c.txt", digits.substr(0, 9000) + text);
    Result whole = Run("merge -o whole.txt a.txt b.txt c.txt");
    ASSERT_EQ(whole.status, 0) << whole.err;

    std::filesystem::create_directory(dir.path() + "runs");
    Result runs = Run("merge --memory 4K -T runs -o runs.txt a.txt b.txt c.txt");
    EXPECT_EQ(runs.status, 0) << runs.err;
    EXPECT_EQ(runs.out, whole.out);
    EXPECT_EQ(File("runs.txt"), File("whole.txt"));
    EXPECT_EQ(FileNames(dir.path() + "runs"), std::vector<std::string>{});

    for (const char* size : {"12x", "0", "K", "101%", "99999999999999999999"}) {
        const Result bad = Run(std::string("merge --memory ") + size + " -o x.txt a.txt");
        EXPECT_EQ(bad.status, 2) << size;
        EXPECT_TRUE(Contains(bad.err, "--memory")) << bad.err;
    }

    // A folder that is not there: named, and the output left as it was.
    dir.Write("out.txt", "old\r\n");
    const Result gone = Run("merge --memory 1K --temporary-folder gone -o out.txt a.txt b.txt");
    EXPECT_EQ(gone.status, 1);
    EXPECT_TRUE(Contains(gone.err, "temporary folder \"gone\": Cannot create a temporary file ("))
        << gone.err;
    EXPECT_EQ(File("out.txt"), "old\r\n");
}

}  // namespace
}  // namespace haojian
