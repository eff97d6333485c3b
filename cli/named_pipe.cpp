#include "cli/named_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "core/files/file_system.h"

namespace haojian::cli {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Waits for data or the end on fd, up to timeout_ms (-1: for ever); true when there is some.
bool Ready(int fd, int timeout_ms, const std::string& path) {
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int n = ::poll(&p, 1, timeout_ms);
        if (n >= 0) return n > 0;
        if (errno != EINTR) throw FileError(FileError::Op::Read, path, errno);
    }
}

}  // namespace

std::string ReadNamedPipe(const std::string& path, const std::function<void()>& waiting) {
    // Opened without waiting: a pipe that no writer has opened yet reports neither data nor its
    // end to poll() until one comes and goes, so poll() is the wait, and it can be told of.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) throw FileError(FileError::Op::Open, path, errno);
    if (!Ready(fd.get(), 1000, path)) {
        waiting();
        Ready(fd.get(), -1, path);
    }
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        throw FileError(FileError::Op::Read, path, errno);
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0) return bytes;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileError::Op::Read, path, errno);
        }
        bytes.append(buffer, std::size_t(n));
    }
}

}  // namespace haojian::cli
