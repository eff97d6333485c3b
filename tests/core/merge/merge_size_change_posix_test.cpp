// A source that changes size while a merge beyond memory reads it between two runs.
#include <gtest/gtest.h>

#include <string>

#include "core/merge/merge.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

TEST(MergeBeyondMemory, ASourceThatChangesSizeBetweenRunsFailsTheMerge) {
    testing::TempDir dir;
    testing::TempDir temporary;
    std::string lines;
    for (int i = 0; i < 500; ++i) lines += std::to_string(13800000000LL + i) + "\n";
    const std::string source = dir.Write("a.txt", lines);
    const std::string out = dir.Write("out.txt", "old\r\n");
    MergeOptions options;
    options.memory = 2000;
    options.temporary_folder = temporary.path();
    for (const std::uint64_t size : {std::uint64_t(10), std::uint64_t(lines.size() + 5)}) {
        testing::FaultyFileSystem fs;
        fs.ResizeAt(2, size);  // after the first run was read
        try {
            MergeDataFiles({source}, out, options, fs);
            ADD_FAILURE() << "no error, size " << size;
        } catch (const FileError& e) {
            EXPECT_EQ(e.op(), FileError::Op::Read);
            EXPECT_EQ(e.path(), source);
            EXPECT_EQ(e.reason(), kSizeChangedReason);
        }
        EXPECT_EQ(testing::ReadFileBytes(out), "old\r\n");
        EXPECT_EQ(testing::FileNames(temporary.path()), std::vector<std::string>{});
        dir.Write("a.txt", lines);
    }
}

}  // namespace
}  // namespace haojian
