// Scratch files on Linux: an unnamed file in the temporary folder, which a library opens again
// through /proc/self/fd.
#include "core/files/scratch_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "core/files/temporary_file.h"
#include "core/platform/posix/posix_temporary_file.h"

namespace haojian {
namespace {

// The system's temporary folder when it is a full path: a scratch file's name must not depend
// on the working folder.
std::string TemporaryFolder() {
    std::string folder = SystemTemporaryFolder();
    return folder.front() == '/' ? folder : "/tmp";
}

class PosixScratchFile final : public ScratchFile {
public:
    PosixScratchFile(UniqueFd fd, std::string named)
        : fd_(std::move(fd)), named_(std::move(named)) {
        path_ = named_.empty() ? "/proc/self/fd/" + std::to_string(fd_.get()) : named_;
    }
    ~PosixScratchFile() override {
        if (!named_.empty()) ::unlink(named_.c_str());
    }
    const std::string& path() const override { return path_; }

    void CopyTo(OutputFile& out) override {
        const auto buffer = std::make_unique_for_overwrite<char[]>(kBlock);
        for (std::uint64_t at = 0;;) {
            const ssize_t n = ReadFullyAt(fd_.get(), at, buffer.get(), kBlock);
            if (n < 0) throw FileError(FileError::Op::Read, path_, errno);
            if (n == 0) return;
            out.Write(std::string_view(buffer.get(), std::size_t(n)));
            at += std::uint64_t(n);
        }
    }

private:
    static constexpr std::size_t kBlock = std::size_t(1) << 20;
    UniqueFd fd_;
    std::string named_;  // the file's name where it could not be left unnamed
    std::string path_;
};

}  // namespace

std::unique_ptr<ScratchFile> CreateScratchFile() {
    const std::string folder = TemporaryFolder();
    UniqueFd fd = OpenUnnamedFile(AT_FDCWD, folder.c_str());
    if (fd && ::access(("/proc/self/fd/" + std::to_string(fd.get())).c_str(), W_OK) == 0) {
        return std::make_unique<PosixScratchFile>(std::move(fd), "");
    }
    // No unnamed files here, or no /proc: a named file of this user alone.
    std::string name = folder + "/.haojian-scratch-XXXXXX";
    fd = UniqueFd(::mkostemp(name.data(), O_CLOEXEC));
    if (!fd) throw FileError(FileError::Op::Create, folder, errno);
    return std::make_unique<PosixScratchFile>(std::move(fd), std::move(name));
}

}  // namespace haojian
