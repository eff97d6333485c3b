#include "cli/standard_output.h"

#include <unistd.h>

#include <cerrno>

#include "cli/console.h"
#include "cli/messages.h"

namespace haojian::cli {

void StandardOutput::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EPIPE) OnClosedOutput();
            throw FileError(FileError::Op::Write, std::string(kStandardOutput), errno);
        }
        bytes.remove_prefix(std::size_t(n));
    }
}

std::unique_ptr<StagedFile> StandardOutputFileSystem::CreateReplacement(const std::string& target) {
    if (target == kStandardOutput) return std::make_unique<StandardOutput>();
    return real_.CreateReplacement(target);
}

}  // namespace haojian::cli
