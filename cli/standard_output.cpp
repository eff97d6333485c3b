#include "cli/standard_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "cli/messages.h"

namespace haojian::cli {

void StandardOutput::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileError::Op::Write, std::string(kStandardOutput), errno);
        }
        bytes.remove_prefix(std::size_t(n));
    }
}

void WriteStandardOutput(std::string_view bytes) {
    StandardOutput().Write(bytes);
}

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

std::unique_ptr<StagedFile> StandardOutputFileSystem::CreateReplacement(const std::string& target) {
    if (target == kStandardOutput) return std::make_unique<StandardOutput>();
    return real_.CreateReplacement(target);
}

}  // namespace haojian::cli
