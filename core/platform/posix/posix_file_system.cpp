// The real file system, the executable's folder and the system's error texts on POSIX.
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/files/file_system.h"
#include "core/platform/posix/posix_staged_file.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

// Waits for data or the end on fd, up to timeout_ms (-1: for ever); true when there is some.
bool Ready(int fd, int timeout_ms, const std::string& path) {
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int n = ::poll(&p, 1, timeout_ms);
        if (n >= 0) return n > 0;
        if (errno != EINTR) throw FileError(FileError::Op::Read, path, errno);
    }
}

class PosixInputFile final : public InputFile {
public:
    PosixInputFile(int fd, std::string path, std::uint64_t size)
        : fd_(fd), path_(std::move(path)), size_(size) {}
    ~PosixInputFile() override { ::close(fd_); }
    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0) return std::size_t(n);
            if (errno != EINTR) throw FileError(FileError::Op::Read, path_, errno);
        }
    }
    std::uint64_t Size() const override { return size_; }
    bool InputAtHand() override { return Ready(fd_, 0, path_); }
    bool Seek(std::uint64_t offset) override {
        if (size_ == 0 && offset != 0) return false;
        if (::lseek(fd_, off_t(offset), SEEK_SET) >= 0) return true;
        if (errno == ESPIPE) return false;
        throw FileError(FileError::Op::Read, path_, errno);
    }

private:
    int fd_;
    std::string path_;
    std::uint64_t size_;
};

class PosixFileSystem final : public FileSystem {
public:
    bool IsFile(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw FileError(FileError::Op::Open, path, errno);
        struct stat st {};
        if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            const int code = S_ISDIR(st.st_mode) ? EISDIR : errno;
            ::close(fd);
            throw FileError(FileError::Op::Open, path, code);
        }
        // Only a regular file's size says how much reading will give.
        const std::uint64_t size = S_ISREG(st.st_mode) ? std::uint64_t(st.st_size) : 0;
        return std::make_unique<PosixInputFile>(fd, path, size);
    }
    std::unique_ptr<InputFile> OpenReadTellingWait(const std::string& path,
                                                   const std::function<void()>& waiting) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISFIFO(st.st_mode)) return OpenRead(path);
        // Opened without waiting: a pipe that no writer has opened yet reports neither data nor
        // its end to poll() until one comes and goes, so poll() is the wait, and it can be told.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) throw FileError(FileError::Op::Open, path, errno);
        auto file = std::make_unique<PosixInputFile>(fd, path, 0);
        if (!Ready(fd, 1000, path)) {
            waiting();
            Ready(fd, -1, path);
        }
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            throw FileError(FileError::Op::Open, path, errno);
        }
        return file;
    }
    std::uint64_t SizeHint(const std::string& path) noexcept override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
        return std::uint64_t(st.st_size);
    }
    std::unique_ptr<StagedFile> CreateReplacement(const std::string& target) override {
        return CreatePosixStagedFile(target);
    }
};

}  // namespace

FileSystem& RealFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

std::string SystemReason(int code) {
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not live in buffer.
    const std::string text = ::strerror_r(code, buffer, sizeof buffer);
    // Under a UTF-8 locale the text may be translated, and so UTF-8; any other locale's text is
    // taken as GBK, of which ASCII is a part.
    const std::string_view codeset = ::nl_langinfo(CODESET);
    return codeset == "UTF-8" ? text : Utf8FromGbk(text);
}

std::string ExecutableDirectory() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return "./";
        if (std::size_t(n) < buffer.size()) return DirectoryOf(std::string(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace haojian
