// Runs a program as a child process and collects what it leaves on its standard streams.
#pragma once

#include <string>
#include <vector>

namespace haojian::testing {

struct ProcessResult {
    int status;  // the exit code; -1 when the program did not exit by itself
    std::string out;
    std::string err;
};

// Runs program (a UTF-8 path) with args (UTF-8, passed as they are, no shell between) in
// folder, with input on its standard input through a pipe, its standard output and error
// caught through pipes; waits for it to end.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder, const std::string& input);

}  // namespace haojian::testing
