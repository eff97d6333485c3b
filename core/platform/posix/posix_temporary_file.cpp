// Temporary files on POSIX: unnamed (O_TMPFILE) where the file system allows, else named for
// no longer than it takes to open and unlink them.
#include "core/platform/posix/posix_temporary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/files/temporary_file.h"
#include "core/platform/posix/temporary_names.h"

namespace haojian {
namespace {

class PosixTemporaryFile final : public TemporaryFile {
public:
    PosixTemporaryFile(UniqueFd fd, std::string folder)
        : fd_(std::move(fd)), folder_(std::move(folder)) {}

    void Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            // A write that takes nothing has found the disk full.
            if (n <= 0) Fail(FileError::Op::Write, n < 0 ? errno : ENOSPC);
            bytes.remove_prefix(std::size_t(n));
        }
    }

    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
        const ssize_t n = ReadFullyAt(fd_.get(), offset, buffer, size);
        if (n < 0) Fail(FileError::Op::Read, errno);
        return std::size_t(n);
    }

private:
    [[noreturn]] void Fail(FileError::Op op, int code) const {
        throw TemporaryFolderError(op, folder_, code);
    }

    UniqueFd fd_;
    std::string folder_;
};

// A file opened under a fresh name in folder and unlinked at once, for file systems without
// unnamed files. Termination signals wait meanwhile, so that the name never outlives the call.
UniqueFd OpenAndUnlink(const std::string& folder) {
    const temporary_names::SignalsHeld held;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = prefix + temporary_names::MakeName();
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd) {
            if (errno == EEXIST) continue;
            throw TemporaryFolderError(FileError::Op::Create, folder, errno);
        }
        if (::unlink(path.c_str()) != 0) {
            throw TemporaryFolderError(FileError::Op::Create, folder, errno);
        }
        return fd;
    }
    throw TemporaryFolderError(FileError::Op::Create, folder, EEXIST);
}

}  // namespace

UniqueFd OpenUnnamedFile(int at, const char* folder) {
    return UniqueFd(::openat(at, folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
}

bool NoUnnamedFiles(int code) {
    // Older kernels and some file systems (network ones, FUSE) have no unnamed files.
    return code == EOPNOTSUPP || code == EISDIR || code == EINVAL;
}

ssize_t ReadFullyAt(int fd, std::uint64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += std::size_t(n);
    }
    return ssize_t(done);
}

std::unique_ptr<TemporaryFile> CreateTemporaryFile(const std::string& given) {
    const std::string folder = given.empty() ? SystemTemporaryFolder() : given;
    UniqueFd fd = OpenUnnamedFile(AT_FDCWD, folder.c_str());
    if (!fd) {
        if (!NoUnnamedFiles(errno))
            throw TemporaryFolderError(FileError::Op::Create, folder, errno);
        fd = OpenAndUnlink(folder);
    }
    return std::make_unique<PosixTemporaryFile>(std::move(fd), folder);
}

std::string SystemTemporaryFolder() {
    const char* const tmpdir = std::getenv("TMPDIR");
    return tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
}

}  // namespace haojian
