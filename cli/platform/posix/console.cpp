#include "cli/console.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace haojian::cli {

void PrepareStandardStreams() {}

bool ShowsProgress(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

bool IsFileOfStandardOutput(const std::string& path) {
    struct stat out {};
    struct stat named {};
    return ::fstat(STDOUT_FILENO, &out) == 0 && ::stat(path.c_str(), &named) == 0 &&
           out.st_dev == named.st_dev && out.st_ino == named.st_ino;
}

void OnClosedOutput() {
    // SIGPIPE has ended the program already unless it is ignored, as the caller chose.
}

}  // namespace haojian::cli
