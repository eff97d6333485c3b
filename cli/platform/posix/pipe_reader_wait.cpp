#include "cli/pipe_reader_wait.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace haojian::cli {

PipeReaderWait::PipeReaderWait(const std::string& path, const std::function<void()>& waiting) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISFIFO(st.st_mode)) return;
    // Opening for writing without waiting fails (ENXIO) while the pipe has no reader.
    for (int tries = 0; tries < 50; ++tries) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ >= 0 || errno != ENXIO) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    waiting();
}

PipeReaderWait::~PipeReaderWait() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace haojian::cli
