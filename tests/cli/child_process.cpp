#include "tests/cli/child_process.h"

#include <thread>

namespace haojian::testing {

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder, const std::string& input) {
    ChildProcess child(program, args, folder);
    // Written meanwhile, so that a program that answers before reading all of it never waits
    // on an output nobody reads.
    std::thread writer([&] {
        child.Write(input);
        child.CloseInput();
    });
    child.ReadOutput(std::string::npos);
    writer.join();
    return child.Wait();
}

}  // namespace haojian::testing
