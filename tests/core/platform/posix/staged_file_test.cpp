// Replacing a file with a complete result: nothing shows in the folder before the end, the
// target keeps what the user expects of it, and two writers never both succeed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/files/file_system.h"
#include "core/platform/posix/posix_staged_file.h"
#include "core/platform/posix/temporary_names.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::FileNames;
using testing::ReadFileBytes;
using testing::TempDir;
using Names = std::vector<std::string>;

struct StagedFileTest : ::testing::Test {
    TempDir dir;
    std::string Path(const std::string& name) const { return dir.path() + name; }

    static struct stat Stat(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
        return st;
    }
};

TEST_F(StagedFileTest, NothingShowsBeforeTheCommitAndAnAbandonedResultLeavesNothing) {
    for (const bool unnamed : {true, false}) {
        const std::string out = dir.Write("out.txt", "old");
        {
            auto file = CreatePosixStagedFile(out, unnamed);
            // Nothing is made before there is something to write.
            EXPECT_EQ(FileNames(dir.path()), Names{"out.txt"});
            file->Write("new");
            const Names names = FileNames(dir.path());
            if (unnamed) {
                EXPECT_EQ(names, Names{"out.txt"});
            } else {
                // A hidden file, which a signal handler removes.
                ASSERT_EQ(names.size(), 2u);
                EXPECT_TRUE(names[0].starts_with(".haojian-")) << names[0];
                temporary_names::RemoveAll();
                EXPECT_EQ(FileNames(dir.path()), Names{"out.txt"});
            }
            EXPECT_EQ(ReadFileBytes(out), "old");
        }
        EXPECT_EQ(FileNames(dir.path()), Names{"out.txt"});
        EXPECT_EQ(ReadFileBytes(out), "old");

        auto file = CreatePosixStagedFile(out, unnamed);
        file->Write(unnamed ? "unnamed" : "named");
        file->Commit();
        EXPECT_EQ(FileNames(dir.path()), Names{"out.txt"});
        EXPECT_EQ(ReadFileBytes(Path("out.txt")), unnamed ? "unnamed" : "named");
    }
    // Nothing written: an empty file, made at the commit.
    auto file = CreatePosixStagedFile(Path("new.txt"), false);
    EXPECT_EQ(FileNames(dir.path()), Names{"out.txt"});
    file->Commit();
    EXPECT_EQ(ReadFileBytes(Path("new.txt")), "");
    EXPECT_EQ(FileNames(dir.path()), (Names{"new.txt", "out.txt"}));
}

TEST_F(StagedFileTest, TheTargetKeepsModeOwnerLinksAndPlace) {
    const std::string out = dir.Write("out.txt", "old");
    ::chmod(out.c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(out.c_str(), 65534, 65534), 0);
    }
    // A second hard link and a link to it.
    ASSERT_EQ(::link(out.c_str(), Path("other.txt").c_str()), 0);
    std::filesystem::create_symlink("out.txt", Path("link.txt"));
    const struct stat before = Stat(out);

    ReplacementFile file(RealFileSystem(), Path("link.txt"));
    file.file().Write("new");
    file.Commit();
    const struct stat after = Stat(out);
    EXPECT_EQ(ReadFileBytes(Path("other.txt")), "new");
    EXPECT_EQ(after.st_ino, before.st_ino);  // written in place, both names keep it
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.txt")));

    // Replaced (a single link now): the new file has the old one's mode and owner.
    std::filesystem::remove(Path("other.txt"));
    ReplacementFile again(RealFileSystem(), out);
    again.file().Write("newer");
    again.Commit();
    const struct stat replaced = Stat(out);
    EXPECT_NE(replaced.st_ino, before.st_ino);
    EXPECT_EQ(replaced.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(replaced.st_uid, 65534u);
        EXPECT_EQ(replaced.st_gid, 65534u);
    }
    EXPECT_EQ(ReadFileBytes(out), "newer");

    // A dangling link: the file is made where it points.
    std::filesystem::create_directory(Path("sub"));
    std::filesystem::create_symlink("sub/made.txt", Path("dangling.txt"));
    ReplacementFile made(RealFileSystem(), Path("dangling.txt"));
    made.file().Write("made");
    made.Commit();
    EXPECT_TRUE(std::filesystem::is_symlink(Path("dangling.txt")));
    EXPECT_EQ(ReadFileBytes(Path("sub/made.txt")), "made");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(Stat(Path("sub/made.txt")).st_mode & 0777, 0666u & ~mask);
    EXPECT_EQ(FileNames(dir.path()), (Names{"dangling.txt", "link.txt", "out.txt", "sub"}));
}

TEST_F(StagedFileTest, OfTwoWritersOfOnePathOnlyOneSucceeds) {
    // An existing target is claimed by the first; the second is refused at once.
    const std::string out = dir.Write("out.txt", "old");
    auto first = CreatePosixStagedFile(out);
    try {
        CreatePosixStagedFile(out);
        ADD_FAILURE() << "two writers of one file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.op(), FileError::Op::Create);
        EXPECT_EQ(e.code(), EWOULDBLOCK);
        EXPECT_EQ(e.reason(), "Another program is writing this file");
    }
    first->Write("first");
    first->Commit();
    EXPECT_EQ(ReadFileBytes(out), "first");

    // A new target: the first to finish makes it, the other is refused at its end.
    for (const bool unnamed : {true, false}) {
        const std::string created = Path(unnamed ? "a.txt" : "b.txt");
        auto slow = CreatePosixStagedFile(created, unnamed);
        auto fast = CreatePosixStagedFile(created, unnamed);
        slow->Write("slow");
        fast->Write("fast");
        fast->Commit();
        try {
            slow->Commit();
            ADD_FAILURE() << "both writers succeeded";
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), EEXIST);
            EXPECT_EQ(e.reason(), "Another program created this file meanwhile");
        }
        EXPECT_EQ(ReadFileBytes(created), "fast");
    }
    // A target replaced by someone else while the result was written is not replaced again.
    auto late = CreatePosixStagedFile(out, false);
    late->Write("late");
    dir.Write("other.txt", "other");
    std::filesystem::rename(Path("other.txt"), out);
    EXPECT_THROW(late->Commit(), FileError);
    late.reset();
    EXPECT_EQ(ReadFileBytes(out), "other");
    EXPECT_EQ(FileNames(dir.path()), (Names{"a.txt", "b.txt", "out.txt"}));
}

}  // namespace
}  // namespace haojian
