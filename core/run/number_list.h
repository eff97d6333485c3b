#pragma once

#include <functional>
#include <string>

#include "core/text/line_list.h"

namespace haojian {

class FileSystem;

// Reads an imported number list: the file's lines by the line rule, nothing trimmed, tested
// or removed. Throws FileError (Open or Read) with the file's full path when the file cannot be
// read. opened, when given, is called once the file is open and before it is read.
LineList ReadNumberList(FileSystem& fs, const std::string& path,
                        const std::function<void()>& opened = {});

}  // namespace haojian
