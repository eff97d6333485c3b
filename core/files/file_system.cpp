#include "core/files/file_system.h"

#include <fcntl.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/platform/posix/posix_staged_file.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

const char* OpName(FileError::Op op) {
    switch (op) {
        case FileError::Op::Open:
            return "open";
        case FileError::Op::Create:
            return "create";
        case FileError::Op::Read:
            return "read";
        case FileError::Op::Write:
            return "write";
        case FileError::Op::Close:
            return "close";
        case FileError::Op::Rename:
            return "rename";
    }
    return "use";
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

FileError::FileError(Op op, std::string path, int code)
    : FileError(op, std::move(path), code, SystemReason(code)) {}

FileError::FileError(Op op, std::string path, int code, std::string reason)
    : std::runtime_error(std::string("cannot ") + OpName(op) + " " + path + ": " + reason),
      op_(op),
      path_(std::move(path)),
      code_(code),
      reason_(std::move(reason)) {}

std::string SystemReason(int code) {
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not live in buffer.
    const char* text = ::strerror_r(code, buffer, sizeof buffer);
    return text;
}

std::string PathForMessage(std::string_view path) {
    return GbkFromUtf8(path);
}

std::string ReasonForMessage(int code) {
    return ReasonForMessage(FileError(FileError::Op::Open, {}, code));
}

std::string ReasonForMessage(const FileError& error) {
    const std::string_view codeset = ::nl_langinfo(CODESET);
    return codeset == "UTF-8" ? GbkFromUtf8(error.reason()) : error.reason();
}

FileOperationError ReadFailure(const FileError& error, const std::string& shown_path) {
    const std::string reason = ReasonForMessage(error);
    const std::string what =
        error.op() == FileError::Op::Read ? "Stream read error on file \"" : "Cannot open file \"";
    return {what + PathForMessage(shown_path) + "\". " + reason, shown_path, error.code(), reason};
}

std::uint64_t FileSystem::SizeHint(const std::string&) noexcept {
    return 0;
}

FileSystem& RealFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

std::string ReadWholeFile(FileSystem& fs, const std::string& path) {
    const std::unique_ptr<InputFile> file = fs.OpenRead(path);
    std::string bytes;
    AppendWholeFile(*file, path, bytes);
    return bytes;
}

void AppendWholeFile(InputFile& file, const std::string& path, std::string& bytes) {
    const std::uint64_t size = file.Size();
    const auto changed = [&] {
        return FileError(FileError::Op::Read, path, 0, std::string(kSizeChangedReason));
    };
    const std::size_t start = bytes.size();
    const std::size_t wanted = start + std::size_t(size);
    if (bytes.capacity() < wanted) {
        // Room for this file at once; when bytes holds earlier files, at least twice what it
        // had, so that files of sizes not known beforehand are not copied again and again.
        // (reserve() on a grown string may double its capacity; a fresh one takes just this.)
        std::string grown;
        grown.reserve(start == 0 ? wanted : std::max(wanted, 2 * bytes.capacity()));
        grown.append(bytes);
        bytes.swap(grown);
    }
    std::size_t filled = start;
    bytes.resize(wanted);
    while (filled < wanted) {
        const std::size_t n = file.Read(bytes.data() + filled, wanted - filled);
        if (n == 0) throw changed();  // shrank
        filled += n;
    }
    // The expected end: make sure of it. A file of known size must give nothing more; one of
    // unknown size is read on, bytes growing as it comes.
    for (;;) {
        char probe[16384];
        const std::size_t n = file.Read(probe, sizeof probe);
        if (n == 0) break;
        if (size != 0) throw changed();  // grew
        bytes.append(probe, n);
    }
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

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "./";
    return path.substr(0, slash + 1);
}

}  // namespace haojian
