#pragma once

#include <string>
#include <vector>

namespace haojian::cli {

// haojian-cli with its arguments (UTF-8, the program's name left out); gives the exit status.
// The platform's entry point (cli/platform/*/entry_point.cpp) calls it.
int Main(std::vector<std::string> args);

}  // namespace haojian::cli
