#include "core/platform/posix/posix_staged_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/platform/posix/temporary_names.h"

namespace haojian {
namespace {

// An open file descriptor, closed when it goes.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~Fd() { Reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release() { return std::exchange(fd_, -1); }
    void Reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

const char* const kBusyReason = "Another program is writing this file";
const char* const kReplacedReason = "Another program replaced this file meanwhile";
const char* const kCreatedReason = "Another program created this file meanwhile";

// The file that writing to target reaches: symbolic links at the end of the path are followed,
// a dangling one to the place it names.
std::string FollowLinks(const std::string& target) {
    std::string path = target;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::vector<char> link(std::size_t(st.st_size) + 2);
        ssize_t n;
        while ((n = ::readlink(path.c_str(), link.data(), link.size())) >= ssize_t(link.size())) {
            link.resize(link.size() * 2);
        }
        if (n < 0) throw FileError(FileError::Op::Create, target, errno);
        const std::string to(link.data(), std::size_t(n));
        path = to.starts_with('/') ? to : DirectoryOf(path) + to;
    }
    throw FileError(FileError::Op::Create, target, ELOOP);
}

// ".haojian-" and six random letters or digits.
std::string TemporaryName() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<unsigned> counter{0};
    unsigned char bytes[6];
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != ssize_t(sizeof bytes)) {
        auto seed = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                    (std::uint64_t(::getpid()) << 32) ^ counter++;
        for (unsigned char& b : bytes) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            b = static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string name = ".haojian-";
    for (const unsigned char b : bytes) name += kChars[b % (sizeof kChars - 1)];
    return name;
}

// Unnamed files can be given a name only through /proc.
bool CanLinkUnnamed() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

// The error numbers of a file system (or kernel) that has no O_TMPFILE.
bool NoUnnamedFiles(int code) {
    return code == EOPNOTSUPP || code == EISDIR || code == EINVAL;
}

// An unnamed file in the folder open as folder_fd; 0 or the error number.
int OpenUnnamed(int folder_fd, int flags, mode_t mode, Fd& fd) {
    fd = Fd(::openat(folder_fd, ".", O_TMPFILE | flags | O_CLOEXEC, mode));
    return fd ? 0 : errno;
}

// A new file under a fresh temporary name in the folder open as folder_fd; 0 or the error
// number.
int OpenNamed(int folder_fd, int flags, mode_t mode, Fd& fd, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName();
        fd = Fd(::openat(folder_fd, name.c_str(), O_CREAT | O_EXCL | flags | O_CLOEXEC, mode));
        if (fd) return 0;
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// A file for scratch use that no one else sees, in the folder open as folder_fd; 0 or the
// error number.
int OpenScratch(int folder_fd, Fd& fd) {
    const int code = OpenUnnamed(folder_fd, O_RDWR, 0600, fd);
    if (!NoUnnamedFiles(code)) return code;
    const temporary_names::SignalsHeld held;
    std::string name;
    if (const int named = OpenNamed(folder_fd, O_RDWR, 0600, fd, name); named != 0) return named;
    ::unlinkat(folder_fd, name.c_str(), 0);
    return 0;
}

// Copies size bytes of in, from its start, over the start of out.
int CopyFile(int in, int out, std::uint64_t size) {
    loff_t in_at = 0;
    loff_t out_at = 0;
    while (std::uint64_t(in_at) < size) {
        const ssize_t n = ::copy_file_range(in, &in_at, out, &out_at, std::size_t(size - in_at), 0);
        if (n > 0) continue;
        if (n == 0) return EIO;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
            return errno;
        }
        // No copy between these two: by hand.
        std::vector<char> buffer(std::size_t(1) << 20);
        while (std::uint64_t(in_at) < size) {
            const ssize_t got = ::pread(in, buffer.data(), buffer.size(), in_at);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return got == 0 ? EIO : errno;
            for (ssize_t put = 0; put < got;) {
                const ssize_t w =
                    ::pwrite(out, buffer.data() + put, std::size_t(got - put), out_at);
                if (w < 0 && errno == EINTR) continue;
                if (w < 0) return errno;
                put += w;
                out_at += w;
            }
            in_at += got;
        }
    }
    return 0;
}

std::string TemporaryFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir && *tmpdir ? tmpdir : "/tmp";
}

class PosixStagedFile final : public StagedFile {
public:
    PosixStagedFile(const std::string& target, bool unnamed);
    ~PosixStagedFile() override;
    void Write(std::string_view bytes) override;
    void Commit() override;

private:
    // kReplace: a new file is put in place of the target. kInPlace: the complete result is
    // written over the target's own content (more hard links, or a folder where no file may be
    // made). kDirect: a device or a pipe, written to as the result comes.
    enum class Way { kReplace, kInPlace, kDirect };
    // What the target's name leads to now, against what it led to when claimed.
    enum class Now { kSame, kGone, kOther };

    void Claim();
    void Make();
    void MakeScratch();
    void KeepOwnerAndMode();
    Now TargetNow() const;
    void Replace();
    void LinkUnnamed(bool replace);
    void RenameNamed(bool replace);
    void WriteInPlace();
    void Forget();
    FileError Failure(FileError::Op op, int code) const { return FileError(op, target_, code); }
    FileError Conflict(const char* reason) const {
        return FileError(FileError::Op::Rename, target_, EEXIST, reason);
    }

    std::string target_;  // as given
    std::string file_;    // the file that is replaced, links followed
    std::string name_;    // its name in its folder
    bool unnamed_;
    Way way_ = Way::kReplace;
    Fd folder_fd_;
    bool existed_ = false;
    struct stat old_ {};  // the target as claimed
    Fd lock_fd_;          // the target, locked against other writers until Commit
    Fd fd_;               // what is written
    bool made_ = false;
    std::uint64_t written_ = 0;
    std::string temporary_;  // a named temporary file in the folder, while it is there
    int noted_ = -1;
    bool committed_ = false;
};

PosixStagedFile::PosixStagedFile(const std::string& target, bool unnamed)
    : target_(target), unnamed_(unnamed) {
    if (target.empty()) throw Failure(FileError::Op::Create, ENOENT);
    file_ = FollowLinks(target);
    if (file_.ends_with('/')) throw Failure(FileError::Op::Create, EISDIR);
    const std::size_t slash = file_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : file_.substr(0, slash + 1);
    name_ = file_.substr(slash == std::string::npos ? 0 : slash + 1);

    struct stat st {};
    if (::stat(file_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw Failure(FileError::Op::Create, EISDIR);
        if (!S_ISREG(st.st_mode)) {
            // Renaming over a device or a pipe would replace the node itself.
            way_ = Way::kDirect;
            return;
        }
        existed_ = true;
    } else if (errno != ENOENT) {
        throw Failure(FileError::Op::Create, errno);
    }
    folder_fd_ = Fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder_fd_) throw Failure(FileError::Op::Create, errno);
    if (existed_) Claim();
}

// Locks the existing target and decides how it is written.
void PosixStagedFile::Claim() {
    // A read-only target is refused, though its folder would let it be replaced.
    if (::faccessat(folder_fd_.get(), name_.c_str(), W_OK, AT_EACCESS) != 0) {
        throw Failure(FileError::Op::Create, errno);
    }
    const int flags = O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;
    lock_fd_ = Fd(::openat(folder_fd_.get(), name_.c_str(), O_RDONLY | flags));
    if (!lock_fd_ && errno == EACCES) {
        lock_fd_ = Fd(::openat(folder_fd_.get(), name_.c_str(), O_WRONLY | flags));
    }
    if (!lock_fd_ || ::fstat(lock_fd_.get(), &old_) != 0) {
        throw Failure(FileError::Op::Create, errno);
    }
    while (::flock(lock_fd_.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) {
            throw FileError(FileError::Op::Create, target_, EWOULDBLOCK, kBusyReason);
        }
        break;  // a file system without locks: unguarded, as any other program would be
    }
    struct stat folder {};
    ::fstat(folder_fd_.get(), &folder);
    const uid_t me = ::geteuid();
    // In a sticky folder (/tmp) only the owner of a file or of the folder may replace it.
    const bool foreign_in_sticky =
        (folder.st_mode & S_ISVTX) && me != 0 && old_.st_uid != me && folder.st_uid != me;
    if (old_.st_nlink > 1 || foreign_in_sticky) way_ = Way::kInPlace;
}

PosixStagedFile::~PosixStagedFile() {
    if (!temporary_.empty()) ::unlinkat(folder_fd_.get(), temporary_.c_str(), 0);
    Forget();
}

void PosixStagedFile::Forget() {
    temporary_names::Forget(noted_);
    noted_ = -1;
    temporary_.clear();
}

// The file that is written, made on first use.
void PosixStagedFile::Make() {
    switch (way_) {
        case Way::kDirect:
            fd_ = Fd(::open(file_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
            if (!fd_) throw Failure(FileError::Op::Create, errno);
            break;
        case Way::kInPlace:
            MakeScratch();
            break;
        case Way::kReplace: {
            // Private until it is complete; a new target gets what a plain create gives.
            const mode_t mode = existed_ ? 0600 : 0666;
            int code = EOPNOTSUPP;
            if (unnamed_ && CanLinkUnnamed()) {
                code = OpenUnnamed(folder_fd_.get(), O_WRONLY, mode, fd_);
            }
            if (NoUnnamedFiles(code)) {
                const temporary_names::SignalsHeld held;
                code = OpenNamed(folder_fd_.get(), O_WRONLY, mode, fd_, temporary_);
                if (code == 0) {
                    noted_ = temporary_names::Note(folder_fd_.get(), temporary_);
                } else {
                    temporary_.clear();
                }
            }
            if ((code == EACCES || code == EPERM) && existed_) {
                // No file may be made beside the target, but the target may be written.
                way_ = Way::kInPlace;
                MakeScratch();
            } else if (code != 0) {
                throw Failure(FileError::Op::Create, code);
            }
            break;
        }
    }
    made_ = true;
}

// The result is put together aside, beside the target where possible, else in the temporary
// folder, and copied over the target once complete.
void PosixStagedFile::MakeScratch() {
    int code = OpenScratch(folder_fd_.get(), fd_);
    if (code == 0) return;
    const Fd temporary_folder(
        ::open(TemporaryFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (temporary_folder) code = OpenScratch(temporary_folder.get(), fd_);
    if (code != 0) throw Failure(FileError::Op::Create, code);
}

void PosixStagedFile::Write(std::string_view bytes) {
    if (!made_) Make();
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Failure(FileError::Op::Write, errno);
        }
        bytes.remove_prefix(std::size_t(n));
        written_ += std::uint64_t(n);
    }
}

void PosixStagedFile::Commit() {
    if (committed_) return;
    if (!made_) Make();
    switch (way_) {
        case Way::kDirect:
            if (::close(fd_.Release()) != 0 && errno != EINTR) {
                throw Failure(FileError::Op::Close, errno);
            }
            break;
        case Way::kReplace:
            Replace();
            break;
        case Way::kInPlace:
            WriteInPlace();
            break;
    }
    committed_ = true;
    lock_fd_.Reset();
}

void PosixStagedFile::KeepOwnerAndMode() {
    // Owner first: changing it may clear the set-user-ID bits that the mode then restores.
    if (::fchown(fd_.get(), old_.st_uid, old_.st_gid) != 0) {
        if (::fchown(fd_.get(), uid_t(-1), old_.st_gid) != 0) {
            // Not allowed: the file stays the process's own, as a new file would be.
        }
    }
    if (::fchmod(fd_.get(), old_.st_mode & 07777) != 0) {
        // Not allowed: it keeps the mode it was made with.
    }
}

PosixStagedFile::Now PosixStagedFile::TargetNow() const {
    struct stat st {};
    if (::fstatat(folder_fd_.get(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return Now::kGone;
        throw Failure(FileError::Op::Rename, errno);
    }
    return existed_ && st.st_dev == old_.st_dev && st.st_ino == old_.st_ino ? Now::kSame
                                                                            : Now::kOther;
}

// Makes the data durable, then gives it the target's name in one step, and makes the name
// durable.
void PosixStagedFile::Replace() {
    if (::fsync(fd_.get()) != 0 && errno != EINVAL) throw Failure(FileError::Op::Close, errno);
    if (existed_) KeepOwnerAndMode();
    const Now now = TargetNow();
    if (now == Now::kOther) throw Conflict(existed_ ? kReplacedReason : kCreatedReason);
    if (temporary_.empty()) {
        LinkUnnamed(now == Now::kSame);
    } else {
        RenameNamed(now == Now::kSame);
    }
    ::fsync(folder_fd_.get());  // the file is in place already; nothing to undo on failure
}

void PosixStagedFile::LinkUnnamed(bool replace) {
    const std::string from = "/proc/self/fd/" + std::to_string(fd_.get());
    const int folder = folder_fd_.get();
    if (!replace) {
        // A link never replaces: a file made meanwhile under that name is kept.
        if (::linkat(AT_FDCWD, from.c_str(), folder, name_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            throw errno == EEXIST ? Conflict(kCreatedReason)
                                  : Failure(FileError::Op::Rename, errno);
        }
        return;
    }
    // Named for a moment only, then renamed over the target in one step.
    const temporary_names::SignalsHeld held;
    for (int attempt = 0;; ++attempt) {
        const std::string name = TemporaryName();
        if (::linkat(AT_FDCWD, from.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary_ = name;
            noted_ = temporary_names::Note(folder, temporary_);
            break;
        }
        if (errno != EEXIST || attempt == 100) throw Failure(FileError::Op::Rename, errno);
    }
    RenameNamed(true);
}

void PosixStagedFile::RenameNamed(bool replace) {
    const temporary_names::SignalsHeld held;
    const int folder = folder_fd_.get();
    if (replace) {
        if (::renameat(folder, temporary_.c_str(), folder, name_.c_str()) != 0) {
            throw Failure(FileError::Op::Rename, errno);
        }
    } else if (::renameat2(folder, temporary_.c_str(), folder, name_.c_str(), RENAME_NOREPLACE) !=
               0) {
        if (errno == EEXIST) throw Conflict(kCreatedReason);
        if (errno != EINVAL && errno != ENOSYS) throw Failure(FileError::Op::Rename, errno);
        // No RENAME_NOREPLACE here: a link refuses to replace as well.
        if (::linkat(folder, temporary_.c_str(), folder, name_.c_str(), 0) != 0) {
            throw errno == EEXIST ? Conflict(kCreatedReason)
                                  : Failure(FileError::Op::Rename, errno);
        }
        ::unlinkat(folder, temporary_.c_str(), 0);
    }
    Forget();
}

// Writes the complete result over the target's own content, as `sort -o` does: its other hard
// links and its folder stay as they are.
void PosixStagedFile::WriteInPlace() {
    if (TargetNow() != Now::kSame) throw Conflict(kReplacedReason);
    const Fd out(
        ::openat(folder_fd_.get(), name_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW));
    struct stat st {};
    if (!out || ::fstat(out.get(), &st) != 0) throw Failure(FileError::Op::Create, errno);
    if (st.st_dev != old_.st_dev || st.st_ino != old_.st_ino) throw Conflict(kReplacedReason);
    // Room first, so that a full disk shows before the old content is touched.
    if (written_ != 0 && ::fallocate(out.get(), FALLOC_FL_KEEP_SIZE, 0, off_t(written_)) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        throw Failure(FileError::Op::Write, errno);
    }
    if (const int code = CopyFile(fd_.get(), out.get(), written_); code != 0) {
        throw Failure(FileError::Op::Write, code);
    }
    if (::ftruncate(out.get(), off_t(written_)) != 0) throw Failure(FileError::Op::Write, errno);
    if (::fsync(out.get()) != 0 && errno != EINVAL) throw Failure(FileError::Op::Close, errno);
}

}  // namespace

std::unique_ptr<StagedFile> CreatePosixStagedFile(const std::string& target, bool unnamed) {
    return std::make_unique<PosixStagedFile>(target, unnamed);
}

}  // namespace haojian
