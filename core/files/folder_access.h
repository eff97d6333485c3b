#pragma once

#include <string>

namespace haojian {

// True when the user may make files in the folder at path (it exists and grants writing).
bool MayWriteFolder(const std::string& path);

}  // namespace haojian
