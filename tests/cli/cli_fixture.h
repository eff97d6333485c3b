// Runs haojian-cli as a program in a directory of its own.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_files.h"

namespace haojian {

struct Result {
    int status;
    std::string out;
    std::string err;
};

struct Cli : ::testing::Test {
    testing::TempDir dir;
    // A segment database: 1380000 is 江苏 南京 移动, 1390000 is 重庆 重庆 联通.
    std::string db = dir.Write("segments.dat", "138000005011xyz\r\n1390000130131\r\n");

    // Runs program with args (words for /bin/sh) in dir, with stdin_text on standard input.
    Result Run(const std::string& args, const std::string& stdin_text = "",
               const std::string& program = HAOJIAN_CLI) const {
        const std::string in = dir.Write("stdin", stdin_text);
        const std::string command = "cd " + dir.path() + " && " + program + " " + args + " <" + in +
                                    " >" + dir.path() + "stdout 2>" + dir.path() + "stderr";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                testing::ReadFileBytes(dir.path() + "stdout"),
                testing::ReadFileBytes(dir.path() + "stderr")};
    }
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
    std::string File(const std::string& name) const {
        return testing::ReadFileBytes(dir.path() + name);
    }
};

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace haojian
