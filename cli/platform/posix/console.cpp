#include "cli/console.h"
#include "cli/standard_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace haojian::cli {

void PrepareStandardStreams() {}

void KeepStandardStreamsTaken() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() takes the lowest free descriptor: this one, the lower ones being taken. Opened
        // the wrong way round, so that using it fails as using the closed stream would.
        const int taken =
            ::open("/dev/null", (fd == STDIN_FILENO ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
        if (taken != fd && taken >= 0) ::close(taken);
    }
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
