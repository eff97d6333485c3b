#pragma once

#include <functional>
#include <string>

namespace haojian::cli {

// Reads the named pipe (FIFO) at path to its end. Opening one waits for a writer, with no sign
// of why: when none has come within a second, waiting is called (to say so), then the wait
// goes on. Throws FileError (Open or Read).
std::string ReadNamedPipe(const std::string& path, const std::function<void()>& waiting);

}  // namespace haojian::cli
