#include "cli/console.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cli/standard_output.h"

namespace haojian::cli {

void PrepareStandardStreams() {}

void WriteTextToStandardOutput(std::string_view utf8) {
    WriteStandardOutput(utf8);
}

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
