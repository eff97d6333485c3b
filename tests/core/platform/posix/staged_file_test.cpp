// Replacing a file with a complete result: nothing shows in the folder before the end, the
// target keeps what the user expects of it, and two writers never both succeed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/files/file_system.h"
#include "core/platform/posix/in_place_rewrite.h"
#include "core/platform/posix/posix_staged_file.h"
#include "core/platform/posix/temporary_names.h"
#include "core/platform/posix/write_target.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::FileNames;
using testing::ReadFileBytes;
using testing::TempDir;
using Names = std::vector<std::string>;

// Runs body in a child process, as nobody when the tests run as root (permission bits bind
// only others); its exit code, 0 when body gave true and nothing was thrown.
int InChild(const std::function<bool()>& body, bool as_nobody = true) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (as_nobody && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
             ::setresuid(65534, 65534, 65534) != 0)) {
            ::_exit(90);
        }
        try {
            ::_exit(body() ? 0 : 1);
        } catch (const FileError& e) {
            ::_exit(e.code() == 0 ? 2 : 100 + e.code() % 100);
        } catch (...) {
            ::_exit(3);
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The exit code of InChild for a FileError with code.
int Thrown(int code) {
    return 100 + code % 100;
}

// Writes bytes to target and commits.
bool WriteAll(const std::string& target, const std::string& bytes) {
    auto file = CreatePosixStagedFile(target);
    file->Write(bytes);
    file->Commit();
    return true;
}

// A folder on a small loop-mounted file system made by mkfs (a command taking the image's
// path last); path() is empty where loop mounts cannot be made.
class LoopFolder {
public:
    LoopFolder(const std::string& dir, const std::string& name, const std::string& size,
               const std::string& mkfs)
        : image_(dir + name + ".img"), path_(dir + name + "/") {
        const std::string make = "truncate -s " + size + " " + image_ + " && " + mkfs + " " +
                                 image_ + " >/dev/null 2>&1 && mkdir -p " + path_ +
                                 " && mount -o loop " + image_ + " " + path_ + " 2>/dev/null";
        mounted_ = ::geteuid() == 0 && std::system(make.c_str()) == 0;
        if (!mounted_) path_.clear();
    }
    ~LoopFolder() {
        if (mounted_) {
            [[maybe_unused]] const int status = std::system(("umount -l " + path_).c_str());
        }
    }
    const std::string& path() const { return path_; }

private:
    std::string image_;
    std::string path_;
    bool mounted_ = false;
};

// Runs a shell command line; true when it succeeded.
bool Shell(const std::string& line) {
    return std::system(line.c_str()) == 0;
}

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

TEST_F(StagedFileTest, TheTargetKeepsModeOwnerLinksAndPlaceAndItsOtherNamesTheOldBytes) {
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

    // Replaced in one step like any other: the other name keeps the old file whole.
    ReplacementFile file(RealFileSystem(), Path("link.txt"));
    file.file().Write("new");
    file.Commit();
    const struct stat replaced = Stat(out);
    EXPECT_EQ(ReadFileBytes(out), "new");
    EXPECT_EQ(ReadFileBytes(Path("other.txt")), "old");
    EXPECT_EQ(Stat(Path("other.txt")).st_ino, before.st_ino);
    EXPECT_NE(replaced.st_ino, before.st_ino);
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.txt")));
    EXPECT_EQ(replaced.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(replaced.st_uid, 65534u);
        EXPECT_EQ(replaced.st_gid, 65534u);
    }

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
    EXPECT_EQ(FileNames(dir.path()),
              (Names{"dangling.txt", "link.txt", "other.txt", "out.txt", "sub"}));
}

// The access control list and extended attributes go with the file: the replacement grants no
// one more than the replaced file did, and where they cannot be kept nothing is replaced.
TEST_F(StagedFileTest, TheReplacementKeepsTheAccessListAndAttributesAndGrantsNoMore) {
    ::chmod(dir.path().c_str(), 0755);
    const std::string out = dir.Write("out.txt", "old");
    ::chmod(out.c_str(), 0600);
    if (!Shell("setfacl -m u:nobody:r " + out + " && setfattr -n user.note -v kept " + out)) {
        GTEST_SKIP() << "no access control lists here";
    }
    const auto acl = [&](const std::string& path) {
        const std::string listing = Path("listing.acl");
        Shell("getfacl -cp " + path + " > " + listing);
        return ReadFileBytes(listing);
    };
    const std::string before = acl(out);
    ASSERT_NE(before.find("user:nobody:r--"), std::string::npos) << before;
    EXPECT_TRUE(WriteAll(out, "new"));
    EXPECT_EQ(acl(out), before);
    char note[16] = {};
    EXPECT_EQ(::getxattr(out.c_str(), "user.note", note, sizeof note), 4);
    EXPECT_STREQ(note, "kept");
    EXPECT_EQ(Stat(out).st_mode & 0777, 0640u);  // the group bits are the list's mask
    EXPECT_EQ(InChild([&] { return ReadFileBytes(out) == "new"; }), 0);

    // A folder whose default list would let nobody write: a file without a list stays so.
    const std::string folder = Path("shared/");
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(Shell("setfacl -d -m u:nobody:rw " + folder));
    const std::string plain = dir.Write("shared/plain.txt", "old");
    ASSERT_TRUE(Shell("setfacl -b " + plain));
    ::chmod(plain.c_str(), 0644);
    EXPECT_TRUE(WriteAll(plain, "new"));
    EXPECT_EQ(acl(plain).find("nobody"), std::string::npos) << acl(plain);
    EXPECT_NE(InChild([&] {
                  const int fd = ::open(plain.c_str(), O_WRONLY);
                  return fd >= 0 && ::close(fd) == 0;
              }),
              0);

    // A label nobody may not set (a security attribute needs a privilege): nobody's run is
    // refused, naming it, and the file is left as it was.
    const std::string labelled = dir.Write("shared/labelled.txt", "old");
    ::chmod(folder.c_str(), 0777);
    ::chmod(labelled.c_str(), 0666);
    if (!Shell("setfattr -n security.haojian -v label " + labelled)) return;
    EXPECT_EQ(InChild([&] {
                  try {
                      WriteAll(labelled, "new");
                  } catch (const FileError& e) {
                      return e.op() == FileError::Op::Rename && e.code() == EPERM &&
                             e.reason().starts_with(
                                 "Its extended attribute security.haojian could not be kept");
                  }
                  return false;
              }),
              0);
    EXPECT_EQ(ReadFileBytes(labelled), "old");
    EXPECT_EQ(FileNames(folder), (Names{"labelled.txt", "plain.txt"}));
}

TEST_F(StagedFileTest, AReaderSeesTheOldOrTheNewFileNeverAMixture) {
    const std::string a(1 << 20, 'a');
    const std::string b(1 << 20, 'b');
    const std::string out = dir.Write("out.txt", a);
    ASSERT_EQ(::link(out.c_str(), Path("other.txt").c_str()), 0);
    std::atomic<bool> done{false};
    std::atomic<int> mixed{0};
    std::thread reader([&] {
        while (!done) {
            const std::string seen = ReadFileBytes(out);
            if (seen != a && seen != b) ++mixed;
        }
    });
    for (int i = 0; i < 60; ++i) {
        ReplacementFile file(RealFileSystem(), out);
        file.file().Write(i % 2 == 0 ? b : a);
        file.Commit();
    }
    done = true;
    reader.join();
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(ReadFileBytes(Path("other.txt")), a);
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

TEST_F(StagedFileTest, ALinkAnotherUserPlantedInASharedFolderIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant another user's link";
    // A folder everyone may write, with the sticky bit (as /tmp), owned by root.
    const std::string shared = Path("shared/");
    std::filesystem::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    ::chmod(dir.path().c_str(), 0755);
    const std::string victim = dir.Write("victim.txt", "victim");
    ::chmod(victim.c_str(), 0666);
    const auto plant = [&](const std::string& name, const std::string& to, uid_t owner) {
        std::filesystem::create_symlink(to, shared + name);
        EXPECT_EQ(::lchown((shared + name).c_str(), owner, owner), 0);
        return shared + name;
    };
    const std::string evil = plant("evil", victim, 65534);
    const std::string rooted = plant("rooted", victim, 0);
    const std::string stranger = plant("stranger", victim, 4242);
    // Links as folders on the way are under the same rule as the last one.
    const std::string updir = plant("updir", "..", 65534);
    const std::string rooted_updir = plant("rooted_updir", "..", 0);
    try {
        CreatePosixStagedFile(updir + "/victim.txt");
        ADD_FAILURE() << "a planted folder link followed";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), EACCES);
        EXPECT_EQ(e.path(), updir);
    }
    EXPECT_TRUE(WriteAll(rooted_updir + "/victim.txt", "victim"));
    // A link of root's own elsewhere that leads to the planted one.
    std::filesystem::create_symlink(evil, Path("mine"));

    for (const std::string& link : {evil, Path("mine")}) {
        try {
            CreatePosixStagedFile(link);
            ADD_FAILURE() << link << " followed";
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), EACCES);
            EXPECT_EQ(e.path(), evil);  // the link that is not followed, whichever was named
            EXPECT_EQ(e.reason(), kSharedFolderLinkReason);
        }
    }
    EXPECT_EQ(ReadFileBytes(victim), "victim");
    // Root's own link is followed; so, for nobody, is the folder owner's, not a third user's.
    EXPECT_TRUE(WriteAll(rooted, "by root"));
    EXPECT_EQ(InChild([&] { return WriteAll(rooted, "by nobody"); }), 0);
    EXPECT_EQ(ReadFileBytes(victim), "by nobody");
    EXPECT_EQ(InChild([&] { return WriteAll(stranger, "no"); }), Thrown(EACCES));
    EXPECT_EQ(ReadFileBytes(victim), "by nobody");
    EXPECT_TRUE(std::filesystem::is_symlink(evil));
}

// A file that cannot be replaced (nobody's, in root's folder; a folder nobody may not write
// when not root) is rewritten in place: never left damaged by a failure the program sees.
TEST_F(StagedFileTest, RewritingInPlaceNeverLeavesADamagedFile) {
    ::chmod(dir.path().c_str(), 0755);
    const std::string old(1000, 'o');
    const std::string result(100000, 'n');
    const auto locked_file = [&](const std::string& folder) {
        const std::string out = folder + "out.txt";
        std::filesystem::create_directories(folder);
        { std::ofstream(out, std::ios::binary) << old; }
        if (::geteuid() == 0) {
            EXPECT_EQ(::chown(out.c_str(), 65534, 65534), 0);
        }
        ::chmod(folder.c_str(), 0555);
        return out;
    };
    // Past a file size limit, the rewriting fails halfway: the old bytes are put back.
    const std::string out = locked_file(Path("plain/"));
    EXPECT_EQ(InChild([&] {
                  auto file = CreatePosixStagedFile(out);
                  file->Write(result);
                  ::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{50000, 50000};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
                  file->Commit();
                  return true;
              }),
              Thrown(EFBIG));
    EXPECT_TRUE(ReadFileBytes(out) == old);
    EXPECT_EQ(InChild([&] { return WriteAll(out, result); }), 0);
    EXPECT_TRUE(ReadFileBytes(out) == result);
    EXPECT_EQ(FileNames(Path("plain/")), Names{"out.txt"});

    // Without fallocate a larger result is refused before the first byte is written; a
    // smaller one fits in the blocks the file holds.
    const LoopFolder mount(dir.path(), "ext", "8M", "mkfs.ext4 -q -F -O ^extent,^64bit");
    if (mount.path().empty()) GTEST_SKIP() << "no loop mounts here";
    ::chmod(mount.path().c_str(), 0755);
    const std::string bare = locked_file(mount.path());
    EXPECT_EQ(InChild([&] { return WriteAll(bare, result); }), Thrown(EOPNOTSUPP));
    EXPECT_TRUE(ReadFileBytes(bare) == old);
    EXPECT_EQ(InChild([&] { return WriteAll(bare, "short"); }), 0);
    EXPECT_EQ(ReadFileBytes(bare), "short");
    ::chmod(mount.path().c_str(), 0755);

    // The result is put together in TMPDIR: when that disk is full, the message names it.
    Shell("dd if=/dev/zero of=" + mount.path() + "fill bs=1M count=64 2>/dev/null");
    ::chmod(mount.path().c_str(), 01777);
    EXPECT_EQ(InChild([&] {
                  ::setenv("TMPDIR", mount.path().c_str(), 1);
                  try {
                      WriteAll(out, std::string(1 << 20, 't'));
                  } catch (const FileError& e) {
                      return e.code() == ENOSPC && e.path() == out &&
                             e.reason().find("in the temporary folder " + mount.path()) !=
                                 std::string::npos;
                  }
                  return false;
              }),
              0);
    EXPECT_TRUE(ReadFileBytes(out) == result);
}

// On a file system that copies on write even the blocks a file holds must be written anew: a
// rewrite in place that its free space does not cover is refused with the file as it was.
TEST_F(StagedFileTest, RewritingInPlaceOnCopyOnWriteNeedsRoomForTheWholeResult) {
    ::chmod(dir.path().c_str(), 0755);
    const LoopFolder mount(dir.path(), "cow", "120M", "mkfs.btrfs -q -f");
    if (mount.path().empty()) GTEST_SKIP() << "no btrfs loop mount here";
    const std::string folder = mount.path() + "locked/";
    std::filesystem::create_directory(folder);
    const std::string out = folder + "out.txt";
    const std::string old(24 << 20, 'o');
    { std::ofstream(out, std::ios::binary) << old; }
    ASSERT_EQ(::chown(out.c_str(), 65534, 65534), 0);
    ::chmod(folder.c_str(), 0555);
    // The old file leaves less free room than its own size.
    Shell("sync");
    struct statvfs fs {};
    ASSERT_EQ(::statvfs(mount.path().c_str(), &fs), 0);
    const std::uint64_t free = std::uint64_t(fs.f_bavail) * fs.f_frsize;
    ASSERT_LT(free, old.size());
    ASSERT_GT(free, 1u << 20);
    EXPECT_EQ(InChild([&] {
                  try {
                      WriteAll(out, std::string(old.size(), 'n'));
                  } catch (const FileError& e) {
                      return e.code() == ENOSPC && e.reason() == kNoRoomForCopyReason;
                  }
                  return false;
              }),
              0);
    EXPECT_TRUE(ReadFileBytes(out) == old);
    // A result the free room covers is written.
    const std::string small(std::size_t(free / 4), 's');
    EXPECT_EQ(InChild([&] { return WriteAll(out, small); }), 0);
    EXPECT_TRUE(ReadFileBytes(out) == small);
    EXPECT_EQ(FileNames(folder), Names{"out.txt"});
}

TEST_F(StagedFileTest, ANextRunRemovesWhatAKilledRunLeftAndNothingElse) {
    const std::string folder = Path("out/");
    std::filesystem::create_directory(folder);
    const auto leave = [&](const std::string& name) { return dir.Write("out/" + name, "x"); };
    leave(".haojian-Left01");                              // a killed run's
    leave(".haojian-abc");                                 // not a name of ours
    const std::string held = leave(".haojian-Held01");     // a live writer's
    const std::string foreign = leave(".haojian-Othr01");  // another user's
    [[maybe_unused]] const int chowned = ::chown(foreign.c_str(), 4242, 4242);
    const std::string linked = leave(".haojian-Link01");  // given a second name
    [[maybe_unused]] const int linked_twice = ::link(linked.c_str(), Path("second").c_str());
    const int lock = ::open(held.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    // The next run starts later than the files' last change.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int notices[2];
    ASSERT_EQ(::pipe(notices), 0);
    EXPECT_EQ(InChild(
                  [&] {
                      auto file = CreatePosixStagedFile(folder + "result.txt");
                      const std::vector<FileNotice> said = file->TakeNotices();
                      file->Write("done");
                      file->Commit();
                      for (const FileNotice& n : said) {
                          const std::string line = n.path + "\n";
                          if (::write(notices[1], line.data(), line.size()) < 0) return false;
                      }
                      return said.size() == 1 && said[0].kind == FileNotice::Kind::kLeftoverRemoved;
                  },
                  false),
              0);
    ::close(notices[1]);
    char said[512] = {};
    [[maybe_unused]] const ssize_t read = ::read(notices[0], said, sizeof said - 1);
    ::close(notices[0]);
    ::close(lock);
    EXPECT_EQ(std::string(said),
              std::filesystem::canonical(folder).string() + "/.haojian-Left01\n");
    EXPECT_EQ(FileNames(folder), (Names{".haojian-Held01", ".haojian-Link01", ".haojian-Othr01",
                                        ".haojian-abc", "result.txt"}));
}

}  // namespace
}  // namespace haojian
