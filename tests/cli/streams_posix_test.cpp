// Standard streams as a POSIX shell wires them: answers to a file while the list arrives,
// databases from pipes and named pipes, and a standard output that takes nothing.
#include <cstdlib>
#include <string>

#include <sys/wait.h>

#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

struct ShellCli : Cli {
    // Runs script (for /bin/sh) in dir, with $CLI naming the program and $DB the database;
    // what the script does not send elsewhere on standard output and error is caught.
    Result Sh(const std::string& script) const {
        dir.Write("script.sh", script);
        const std::string command = "cd " + dir.path() + " && CLI=" HAOJIAN_CLI " DB=" + db +
                                    " sh script.sh >" + dir.path() + "stdout 2>" + dir.path() +
                                    "stderr";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                testing::ReadFileBytes(dir.path() + "stdout"),
                testing::ReadFileBytes(dir.path() + "stderr")};
    }
};

TEST_F(ShellCli, LinesComeOutToAFileWhileTheListStillArrives) {
    // The first answer is in the file before the second number is sent.
    Result r =
        Sh("{ echo 1380000; sleep 1; cp out.txt early.txt; echo 1390000; } |"
           " $CLI lookup --utf8 --db $DB - >out.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(File("early.txt"), "1380000\t江苏\t南京\t移动\n");
    EXPECT_EQ(File("out.txt"), "1380000\t江苏\t南京\t移动\n1390000\t重庆\t重庆\t联通\n");
}

TEST_F(ShellCli, ADatabaseFromAPipeIsReadToItsEnd) {
    dir.Write("list.txt", "1380000\n");
    // A pipe behind /dev/stdin, as bash's <(zcat db.gz) gives one behind /dev/fd/N.
    Result r = Sh("cat $DB | $CLI lookup --utf8 --db /dev/stdin list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t江苏\t南京\t移动\n");

    // A named pipe with no writer yet: the wait is said, then the database is read.
    r =
        Sh("mkfifo db.fifo && { sleep 1.5; cat $DB >db.fifo; } &"
           " sleep 0.2; $CLI lookup --utf8 --db db.fifo list.txt; s=$?; wait; exit $s");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t江苏\t南京\t移动\n");
    EXPECT_EQ(r.err,
              "haojian-cli: lookup: waiting for \"db.fifo\" (a named pipe) to be written to\n");
}

TEST_F(ShellCli, StandardInputIsReadAsTheShellLeftIt) {
    // What the shell read before stays read; a socket serves as any pipe; a closed one fails.
    dir.Write("list.txt", "header\n1380000\n");
    Result r = Sh("{ read -r header; $CLI lookup --utf8 --db $DB -; } <list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t江苏\t南京\t移动\n");
    r =
        Sh("python3 -c 'import os, socket, subprocess\n"
           "a, b = socket.socketpair()\n"
           "b.sendall(b\"1390000\\n\"); b.shutdown(socket.SHUT_WR)\n"
           "exit(subprocess.run([os.environ[\"CLI\"], \"lookup\", \"--utf8\", \"--db\",\n"
           "                     os.environ[\"DB\"], \"-\"], stdin=a).returncode)'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1390000\t重庆\t重庆\t联通\n");
    r = Sh("$CLI lookup --db $DB - <&-");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "haojian-cli: lookup: standard input: Cannot open file (Standard input is closed)\n");
}

TEST_F(ShellCli, SourcesWithoutAnEndStopAtTheirFirstNulByte) {
    dir.Write("list.txt", "1380000\n");
    Result r = Sh("$CLI lookup --utf8 --db /dev/zero list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t未知\t未知\t移动\n");
    EXPECT_EQ(r.err,
              "haojian-cli: lookup: \"/dev/zero\" holds a NUL byte at byte offset 0: the "
              "database ends there\n");
    r = Sh("$CLI db check --db /dev/zero");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.out, "byte offset 0: what follows it is never read\n")) << r.out;
    r = Sh("$CLI db build -o out.dat /dev/zero");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err,
                         "\"/dev/zero\" holds a NUL byte at byte offset 0: the table is "
                         "refused"))
        << r.err;
}

TEST_F(ShellCli, ANamedPipeWithoutItsOtherEndIsWaitedForWithAWord) {
    // The pipe's other end is opened once the program has said that it waits (or after 30 s),
    // however slowly the program starts on a busy machine.
    const auto other_end_after_the_word = [](const std::string& fifo, const std::string& run,
                                             const std::string& other) {
        return "rm -f err.txt status; mkfifo " + fifo + " && { " + run +
               " 2>err.txt; echo $? >status; } & n=0;" +
               " while ! grep -q waiting err.txt 2>/dev/null && [ $n -lt 600 ]; do sleep 0.05;" +
               " n=$((n + 1)); done; " + other + "; wait; cat err.txt >&2; exit $(cat status)";
    };
    Result r = Sh(other_end_after_the_word("list.fifo", "$CLI lookup --utf8 --db $DB list.fifo",
                                           "echo 1380000 >list.fifo"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t江苏\t南京\t移动\n");
    EXPECT_EQ(r.err,
              "haojian-cli: lookup: waiting for \"list.fifo\" (a named pipe) to be written to\n");

    dir.Write("list.txt", "1380000\n");
    r = Sh(other_end_after_the_word("out.fifo", "$CLI export --db $DB -o out.fifo list.txt",
                                    "cat out.fifo >got.txt"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(File("got.txt"), "1380000**\r\n");
    EXPECT_EQ(r.err,
              "haojian-cli: export: waiting for \"out.fifo\" (a named pipe) to be read from\n");
}

TEST_F(ShellCli, AFullStandardOutputFailsEveryCommand) {
    dir.Write("list.txt", "1380000\n");
    for (const std::string command :
         {"$CLI --help", "$CLI --version", "$CLI help", "$CLI lookup --help",
          "$CLI db check --db $DB", "$CLI lookup --db $DB list.txt", "$CLI stats --db $DB list.txt",
          "$CLI export --db $DB -o out.txt list.txt", "$CLI merge -o out.txt list.txt"}) {
        dir.Write("out.txt", "old\r\n");
        const Result r = Sh(command + " >/dev/full");
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_TRUE(Contains(r.err, "standard output: Cannot write file (")) << r.err;
        // The status line of export and merge fails before their file is put in place.
        EXPECT_EQ(File("out.txt"), "old\r\n") << command;
    }
}

}  // namespace
}  // namespace haojian
