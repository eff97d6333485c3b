// haojian-cli killed, interrupted, racing another run, as an unprivileged user in a folder it
// may not write, without threads: every file it may touch stays whole.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli/termination_signals.h"
#include "core/platform/posix/posix_staged_file.h"
#include "core/platform/posix/temporary_names.h"
#include "core/threads/thread_start.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"

extern char** environ;

namespace haojian {
namespace {

using testing::FileNames;
using testing::ReadFileBytes;
using testing::TempDir;
using Names = std::vector<std::string>;
using namespace std::chrono_literals;

// Drops root for a command, where the tests run as root: permission bits bind only others.
std::vector<std::string> AsNobody() {
    if (::geteuid() != 0) return {};
    return {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
}

// haojian-cli (after the words of prefix) with args, standard input from /dev/null and its
// output to files in log_dir.
class Child {
public:
    Child(const std::string& log_dir, const std::vector<std::string>& args,
          std::vector<std::string> prefix = {})
        : out_(log_dir + "out." + std::to_string(++count_)),
          err_(log_dir + "err." + std::to_string(count_)) {
        std::vector<std::string> words = std::move(prefix);
        words.push_back(HAOJIAN_CLI);
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT, 0644);
        EXPECT_EQ(posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (!ended_) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
    }

    pid_t pid() const { return pid_; }
    // The wait status; a child that does not end within 30 s is killed.
    int Wait() {
        for (int i = 0; !ended_ && i < 3000; ++i) {
            if (::waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
            if (!ended_) std::this_thread::sleep_for(10ms);
        }
        if (!ended_) {
            ADD_FAILURE() << "haojian-cli did not end";
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status_, 0);
            ended_ = true;
        }
        return status_;
    }
    int ExitCode() {
        const int status = Wait();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Err() const { return ReadFileBytes(err_); }
    bool Ended() {
        if (!ended_ && ::waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
        return ended_;
    }

private:
    static inline int count_ = 0;
    std::string out_;
    std::string err_;
    pid_t pid_ = -1;
    int status_ = 0;
    bool ended_ = false;
};

// Waits until pid holds an unnamed file in folder with data in it: a result being written.
// False when the process ends first.
bool WaitForResultUnderWay(Child& child, const std::string& folder) {
    const std::string fds = "/proc/" + std::to_string(child.pid()) + "/fd/";
    while (!child.Ended()) {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(fds, ignored)) {
            const std::string to = std::filesystem::read_symlink(entry.path(), ignored).string();
            struct stat st {};
            if (to.starts_with(folder) && to.ends_with("(deleted)") &&
                ::stat(entry.path().c_str(), &st) == 0 && st.st_size > 0) {
                return true;
            }
        }
    }
    return false;
}

// True while pid holds path open for writing: a file being rewritten in place.
bool WritingTo(pid_t pid, const std::string& path) {
    const std::string proc = "/proc/" + std::to_string(pid) + "/";
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(proc + "fd/", ignored)) {
        if (std::filesystem::read_symlink(entry.path(), ignored).string() != path) continue;
        const std::string info = ReadFileBytes(proc + "fdinfo/" + entry.path().filename().string());
        const std::size_t flags = info.find("flags:");
        if (flags != std::string::npos &&
            (std::stoul(info.substr(flags + 6), nullptr, 8) & O_ACCMODE) != O_RDONLY) {
            return true;
        }
    }
    return false;
}

// Runs a shell command line; its exit code.
int Shell(const std::string& line) {
    const int status = std::system(("bash -c '" + line + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct FileSafety : ::testing::Test {
    TempDir dir;
    std::string target = dir.path() + "target/";
    std::string db = dir.Write("segments.dat", "138000005011\r\n1390000130131\r\n");

    FileSafety() {
        std::filesystem::create_directory(target);
        // Others (nobody) may read the inputs and reach the target's folder.
        ::chmod(dir.path().c_str(), 0755);
    }
};

TEST_F(FileSafety, AKilledOrInterruptedRunLeavesTheFolderAsItWas) {
    std::string list;
    for (int i = 0; i < 1000000; ++i) list += std::to_string(13800000000LL + i * 7) + "\n";
    const std::string source = dir.Write("list.txt", list);
    const std::string out = target + "out.txt";
    for (const char* command : {"export", "merge"}) {
        for (const int signal : {SIGKILL, SIGINT}) {
            dir.Write("target/out.txt", "old\r\n");
            dir.Write("target/other.txt", "other\r\n");
            const Names before = FileNames(target);
            bool caught = false;
            for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
                dir.Write("target/out.txt", "old\r\n");
                std::vector<std::string> args = {command, "-o", out, source};
                if (args[0] == "export") args.insert(args.begin() + 1, {"--db", db});
                Child child(dir.path(), args);
                if (!WaitForResultUnderWay(child, target)) continue;  // done before seen
                ::kill(child.pid(), signal);
                const int status = child.Wait();
                caught = true;
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
                    << command << " " << signal << ": " << status << " " << child.Err();
            }
            EXPECT_TRUE(caught) << command << ": never seen while writing";
            EXPECT_EQ(FileNames(target), before) << command << " " << signal;
            EXPECT_EQ(ReadFileBytes(out), "old\r\n") << command << " " << signal;
        }
    }
}

TEST_F(FileSafety, OfTwoMergesOntoOnePathOneCompletesAndTheOtherSaysWhy) {
    const std::string first = dir.path() + "first.fifo";
    const std::string second = dir.path() + "second.fifo";
    ASSERT_EQ(::mkfifo(first.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(second.c_str(), 0600), 0);
    // Each merge reads its fifo, and waits there until the test writes it.
    const auto feed = [](const std::string& fifo) {
        const int fd = ::open(fifo.c_str(), O_WRONLY);  // once the merge reads it
        return fd;
    };
    const auto finish = [](int fd, const std::string& text) {
        EXPECT_EQ(::write(fd, text.data(), text.size()), ssize_t(text.size()));
        ::close(fd);
    };

    // An existing file: the second is refused at once, while the first waits for its source.
    const std::string out = dir.Write("target/out.txt", "old\r\n");
    Child a(dir.path(), {"merge", "-o", out, first});
    const int a_fd = feed(first);
    Child b(dir.path(), {"merge", "-o", out, second});
    EXPECT_EQ(b.ExitCode(), 1);
    EXPECT_NE(b.Err().find("Another program is writing this file"), std::string::npos) << b.Err();
    // An export says it in the same words.
    const std::string list = dir.Write("list.txt", "13800001234\n");
    Child c(dir.path(), {"export", "--db", db, "-o", out, list});
    EXPECT_EQ(c.ExitCode(), 1);
    EXPECT_NE(c.Err().find(": Cannot create file (Another program is writing this file)\n"),
              std::string::npos)
        << c.Err();
    finish(a_fd, "a\n");
    EXPECT_EQ(a.ExitCode(), 0) << a.Err();
    EXPECT_EQ(ReadFileBytes(out), "a\r\n");

    // A new file: both get under way; the first to finish makes it, the other is refused.
    const std::string made = target + "made.txt";
    Child slow(dir.path(), {"merge", "-o", made, first});
    const int slow_fd = feed(first);
    Child fast(dir.path(), {"merge", "-o", made, second});
    const int fast_fd = feed(second);
    finish(fast_fd, "fast\n");
    EXPECT_EQ(fast.ExitCode(), 0) << fast.Err();
    finish(slow_fd, "slow\n");
    EXPECT_EQ(slow.ExitCode(), 1);
    EXPECT_NE(slow.Err().find("Another program created this file meanwhile"), std::string::npos)
        << slow.Err();
    EXPECT_EQ(ReadFileBytes(made), "fast\r\n");
    EXPECT_EQ(FileNames(target), (Names{"made.txt", "out.txt"}));
}

TEST_F(FileSafety, AUsersFileInAFolderTheUserMayNotWriteIsWrittenInPlace) {
    const std::string list = dir.Write("list.txt", "13800001234\n13900001234\n");
    const std::string out = dir.Write("target/out.txt", "old\r\n");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(out.c_str(), 65534, 65534), 0);  // the user's file, root's folder
    } else {
        ::chmod(target.c_str(), 0555);
    }
    struct stat before {};
    ::stat(out.c_str(), &before);
    Child writes(dir.path(), {"export", "--db", db, "-o", out, list}, AsNobody());
    EXPECT_EQ(writes.ExitCode(), 0) << writes.Err();
    EXPECT_EQ(ReadFileBytes(out), "138000012**\r\n139000012**\r\n");
    struct stat after {};
    ::stat(out.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);

    // No new file may be made there: the folder is what denies it.
    Child refused(dir.path(), {"export", "--db", db, "-o", target + "new.txt", list}, AsNobody());
    EXPECT_EQ(refused.ExitCode(), 1);
    EXPECT_NE(refused.Err().find("new.txt\": Cannot create file (Permission denied)"),
              std::string::npos)
        << refused.Err();
    EXPECT_EQ(FileNames(target), Names{"out.txt"});
    ::chmod(target.c_str(), 0755);
}

TEST_F(FileSafety, AMergeWithoutThreadsToBeHadWorksOnOneThread) {
    std::string lines;
    for (int i = 0; i < 200000; ++i) lines += "Name" + std::to_string(i * 7919 % 100003) + "\n";
    const std::string source = dir.Write("names.txt", lines);
    Child free(dir.path(), {"merge", "-o", dir.path() + "expected.txt", source});
    ASSERT_EQ(free.ExitCode(), 0) << free.Err();

    ::chmod(target.c_str(), 0777);
    std::vector<std::string> prefix = AsNobody();
    // (LeakSanitizer, in a sanitized build, needs a thread of its own at exit.)
    prefix.insert(prefix.end(), {"prlimit", "--nproc=1", "env", "ASAN_OPTIONS=detect_leaks=0"});
    Child limited(dir.path(), {"merge", "-o", target + "out.txt", source}, prefix);
    EXPECT_EQ(limited.ExitCode(), 0) << limited.Err();
    EXPECT_TRUE(ReadFileBytes(target + "out.txt") == ReadFileBytes(dir.path() + "expected.txt"));
}

TEST_F(FileSafety, TheSignalHandlersRemoveAHiddenTemporaryFile) {
    const std::string out = dir.Write("target/out.txt", "old\r\n");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // As haojian-cli does, where the file system has no unnamed files.
            cli::RemoveTemporaryFilesOnTermination();
            const auto file = CreatePosixStagedFile(out, false);
            file->Write("new");
            ::raise(signal);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(FileNames(target), Names{"out.txt"});
        EXPECT_EQ(ReadFileBytes(out), "old\r\n");
    }
}

// While a result is given its name (SignalsHeld), a termination signal waits for the end,
// whichever thread the system hands it to; the program's own threads never take one.
TEST_F(FileSafety, ATerminationSignalWaitsForTheCommitWhicheverThreadTakesIt) {
    const std::string out = dir.Write("target/out.txt", "old\r\n");
    int said[2];
    ASSERT_EQ(::pipe(said), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        cli::RemoveTemporaryFilesOnTermination();
        const auto tell = [&](const char* what) {
            return ::write(said[1], what, std::strlen(what)) > 0;
        };
        // A thread of the program holds the signals back from its start.
        bool blocked = false;
        StartThread([&] {
            sigset_t mask;
            pthread_sigmask(SIG_BLOCK, nullptr, &mask);
            blocked = sigismember(&mask, SIGTERM) && sigismember(&mask, SIGINT) &&
                      sigismember(&mask, SIGHUP);
        }).join();
        if (blocked) tell("started threads hold; ");
        // A thread that does not, as a library's own might, and a hidden file being made.
        std::atomic<bool> done{false};
        std::thread other([&] {
            while (!done) std::this_thread::sleep_for(1ms);
        });
        const auto file = CreatePosixStagedFile(out, false);
        file->Write("new");
        {
            const temporary_names::SignalsHeld held;
            ::kill(::getpid(), SIGTERM);
            std::this_thread::sleep_for(100ms);
            tell("held");
        }
        tell(", not taken");
        ::_exit(0);
    }
    ::close(said[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    char text[128] = {};
    [[maybe_unused]] const ssize_t n = ::read(said[0], text, sizeof text - 1);
    ::close(said[0]);
    EXPECT_STREQ(text, "started threads hold; held");
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    // Taken at the end, after the hidden file was removed.
    EXPECT_EQ(FileNames(target), Names{"out.txt"});
    EXPECT_EQ(ReadFileBytes(out), "old\r\n");
}

TEST_F(FileSafety, ARunStoppedWhileRewritingInPlaceLeavesTheOldOrTheNewFile) {
    std::string list;
    for (int i = 0; i < 600000; ++i) list += std::to_string(13800000000LL + i * 7) + "\n";
    const std::string source = dir.Write("list.txt", list);
    const std::string out = target + "out.txt";
    const std::string old(4 << 20, 'o');
    Child clean(dir.path(), {"merge", "-o", dir.path() + "expected.txt", source});
    ASSERT_EQ(clean.ExitCode(), 0) << clean.Err();
    const std::string expected = ReadFileBytes(dir.path() + "expected.txt");
    // The user's file in a folder where nothing may be made: it can only be rewritten in place.
    const auto lock_in = [&] {
        ::chmod(target.c_str(), 0755);
        dir.Write("target/out.txt", old);
        ::chmod(out.c_str(), 0666);
        if (::geteuid() == 0) {
            EXPECT_EQ(::chown(out.c_str(), 65534, 65534), 0);
        }
        ::chmod(target.c_str(), 0555);
    };
    for (const int signal : {SIGTERM, SIGINT, SIGKILL}) {
        bool caught = false;
        for (int attempt = 0; attempt < 20 && !caught; ++attempt) {
            lock_in();
            Child child(dir.path(), {"merge", "-o", out, source}, AsNobody());
            while (!child.Ended() && !WritingTo(child.pid(), out)) {
            }
            if (child.Ended()) continue;
            ::kill(child.pid(), signal);
            const int status = child.Wait();
            caught = true;
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            const std::string now = ReadFileBytes(out);
            if (signal != SIGKILL) {
                // A handled signal waits for the rewriting to end.
                EXPECT_TRUE(now == expected) << signal << ": " << now.size() << " bytes";
            }
            EXPECT_EQ(FileNames(target), Names{"out.txt"});
        }
        EXPECT_TRUE(caught) << signal << ": never seen while rewriting";
    }
    ::chmod(target.c_str(), 0755);
}

TEST_F(FileSafety, AFileSizeLimitIsAFailureNamedWithThePath) {
    std::string list;
    for (int i = 0; i < 100000; ++i) list += std::to_string(13800000000LL + i * 7) + "\n";
    const std::string source = dir.Write("list.txt", list);
    const std::string out = dir.Write("target/out.txt", "old\r\n");
    for (const char* command : {"export", "merge"}) {
        std::vector<std::string> args = {command, "-o", out, source};
        if (args[0] == "export") args.insert(args.begin() + 1, {"--db", db});
        Child limited(dir.path(), args, {"prlimit", "--fsize=200000"});
        EXPECT_EQ(limited.ExitCode(), 1) << command;
        EXPECT_NE(limited.Err().find("File too large"), std::string::npos) << limited.Err();
        EXPECT_NE(limited.Err().find(out), std::string::npos) << limited.Err();
        EXPECT_EQ(FileNames(target), Names{"out.txt"});
        EXPECT_EQ(ReadFileBytes(out), "old\r\n");
    }
}

TEST_F(FileSafety, APipeOrADescriptorNamedAsOutputIsWrittenAsItStands) {
    const std::string source = dir.Write("list.txt", "13900001234\n13800001234\n");
    const std::string cli = HAOJIAN_CLI;
    const std::string sorted = "13800001234\r\n13900001234\r\n";
    const std::string substituted = dir.path() + "substituted.txt";
    EXPECT_EQ(Shell(cli + " merge -q -o >(cat > " + substituted + ") " + source + " && wait"), 0);
    const std::string piped = dir.path() + "piped.txt";
    EXPECT_EQ(Shell(cli + " merge -o /dev/fd/3 " + source + " 3>&1 >/dev/null | cat > " + piped),
              0);
    const std::string out = dir.path() + "stdout.txt";
    EXPECT_EQ(Shell(cli + " merge -o /dev/stdout " + source + " 2>/dev/null | cat > " + out), 0);
    for (int i = 0; i < 100 && ReadFileBytes(substituted) != sorted; ++i) {
        std::this_thread::sleep_for(10ms);  // the substitution's cat may end after the shell
    }
    EXPECT_EQ(ReadFileBytes(substituted), sorted);
    EXPECT_EQ(ReadFileBytes(piped), sorted);
    EXPECT_EQ(ReadFileBytes(out), sorted);
}

TEST_F(FileSafety, WhatCouldNotBeKeptAndWhatWasRemovedIsSaid) {
    const std::string list = dir.Write("list.txt", "13800001234\n");
    ::chmod(target.c_str(), 0777);
    // An earlier run's leftover, from before this run started.
    const std::string leftover = dir.Write("target/.haojian-Left01", "partial");
    if (::geteuid() == 0) {
        EXPECT_EQ(::chown(leftover.c_str(), 65534, 65534), 0);
    }
    const std::string out = dir.Write("target/out.txt", "old\r\n");
    ::chmod(out.c_str(), 0666);
    std::this_thread::sleep_for(50ms);
    Child writes(dir.path(), {"merge", "-o", out, list}, AsNobody());
    EXPECT_EQ(writes.ExitCode(), 0) << writes.Err();
    EXPECT_NE(writes.Err().find("removed \"" + leftover + "\""), std::string::npos) << writes.Err();
    if (::geteuid() == 0) {
        // root's file, replaced by nobody: the new file is nobody's, and that is said.
        EXPECT_NE(writes.Err().find("owner could not be kept"), std::string::npos) << writes.Err();
    }
    EXPECT_EQ(FileNames(target), Names{"out.txt"});
    ::chmod(target.c_str(), 0755);
}

}  // namespace
}  // namespace haojian
