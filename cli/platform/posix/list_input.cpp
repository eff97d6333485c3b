#include "cli/list_input.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/files/file_system.h"

namespace haojian::cli {
namespace {

class DescriptorInput final : public ListInput {
public:
    DescriptorInput(int fd, bool owned, std::string path)
        : fd_(fd), owned_(owned), path_(std::move(path)) {}
    ~DescriptorInput() override {
        if (owned_) ::close(fd_);
    }
    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0) return std::size_t(n);
            if (errno != EINTR) throw FileError(FileError::Op::Read, path_, errno);
        }
    }
    bool AtHand() const override {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

private:
    int fd_;
    bool owned_;
    std::string path_;
};

}  // namespace

std::unique_ptr<ListInput> OpenListInput(const std::string& path, const std::string& shown_path) {
    if (path == "-") return std::make_unique<DescriptorInput>(STDIN_FILENO, false, shown_path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError(FileError::Op::Open, shown_path, errno);
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw FileError(FileError::Op::Open, shown_path, EISDIR);
    }
    return std::make_unique<DescriptorInput>(fd, true, shown_path);
}

PathKind KindOfPath(const std::string& path, int& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = errno;
        return PathKind::kNone;
    }
    if (S_ISDIR(info.st_mode)) return PathKind::kFolder;
    if (S_ISFIFO(info.st_mode)) return PathKind::kNamedPipe;
    return PathKind::kOther;
}

}  // namespace haojian::cli
