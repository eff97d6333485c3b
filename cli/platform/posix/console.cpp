#include "cli/console.h"

#include <unistd.h>

namespace haojian::cli {

void PrepareStandardStreams() {}

bool ShowsProgress(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

void OnClosedOutput() {
    // SIGPIPE has ended the program already unless it is ignored, as the caller chose.
}

}  // namespace haojian::cli
