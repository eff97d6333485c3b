#pragma once

#include <string>
#include <vector>

namespace haojian::cli {

// Each takes the arguments after its name and gives the exit status.
int RunLookup(const std::vector<std::string>& args);
int RunExport(const std::vector<std::string>& args);
int RunMerge(const std::vector<std::string>& args);
int RunStats(const std::vector<std::string>& args);
int RunDbBuild(const std::vector<std::string>& args);
int RunDbCheck(const std::vector<std::string>& args);

}  // namespace haojian::cli
