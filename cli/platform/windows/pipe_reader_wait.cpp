#include "cli/pipe_reader_wait.h"

namespace haojian::cli {

// Windows has no named pipes in the file system that a result could be written to.
PipeReaderWait::PipeReaderWait(const std::string&, const std::function<void()>&) {}

PipeReaderWait::~PipeReaderWait() = default;

}  // namespace haojian::cli
