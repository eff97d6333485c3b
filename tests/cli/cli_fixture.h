// Runs haojian-cli as a program in a directory of its own.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/cli/child_process.h"
#include "tests/cli/system_reason.h"
#include "tests/support/test_files.h"

namespace haojian {

using Result = testing::ProcessResult;

// The words of a command line: the text between spaces, nothing quoted.
inline std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (end > at) words.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

struct Cli : ::testing::Test {
    testing::TempDir dir;
    // A segment database: 1380000 is 江苏 南京 移动, 1390000 is 重庆 重庆 联通.
    std::string db = dir.Write("segments.dat", "138000005011xyz\r\n1390000130131\r\n");

    // Runs program with the words of args in dir, with stdin_text on standard input.
    Result Run(const std::string& args, const std::string& stdin_text = "",
               const std::string& program = HAOJIAN_CLI) const {
        return RunArgs(Words(args), stdin_text, program);
    }
    // The same with the arguments as they are, spaces and all.
    Result RunArgs(const std::vector<std::string>& args, const std::string& stdin_text = "",
                   const std::string& program = HAOJIAN_CLI) const {
        return testing::RunProcess(program, args, dir.path(), stdin_text);
    }
    std::string File(const std::string& name) const {
        return testing::ReadFileBytes(dir.path() + name);
    }
};

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace haojian
