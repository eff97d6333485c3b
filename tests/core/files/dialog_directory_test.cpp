// Where the file dialogs start.
#include "core/files/dialog_directory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_files.h"

namespace haojian {
namespace {

// Beside the program while the user may write there; else in a folder of the user's that
// exists, never the program's.
TEST(DialogDirectoryTest, ProgramDirectoryWhenWritableElseTheUsersOwn) {
    const testing::TempDir dir;
    EXPECT_EQ(DialogDirectory(dir.path()), dir.path());

    const std::string missing = dir.path() + "no such folder/";
    const std::string own = DialogDirectory(missing);
    EXPECT_NE(own, missing);
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.back(), '/');
    const std::u8string utf8(own.begin(), own.end());
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(utf8))) << own;
}

}  // namespace
}  // namespace haojian
