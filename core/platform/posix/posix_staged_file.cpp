#include "core/platform/posix/posix_staged_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "core/platform/posix/extended_attributes.h"
#include "core/platform/posix/in_place_rewrite.h"
#include "core/platform/posix/temporary_names.h"
#include "core/platform/posix/unique_fd.h"
#include "core/platform/posix/write_target.h"

namespace haojian {
namespace {

const char* const kBusyReason = "Another program is writing this file";
const char* const kReplacedReason = "Another program replaced this file meanwhile";
const char* const kCreatedReason = "Another program created this file meanwhile";

// Unnamed files can be given a name only through /proc.
bool CanLinkUnnamed() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

// The error numbers of a file system (or kernel) that has no O_TMPFILE.
bool NoUnnamedFiles(int code) {
    return code == EOPNOTSUPP || code == EISDIR || code == EINVAL;
}

// Marks a temporary file of ours as alive, for RemoveLeftovers of other runs.
void HoldTemporary(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EINTR) {
    }
}

// A new file under a fresh temporary name in the folder open as folder_fd, held; 0 or the
// error number.
int OpenNamed(int folder_fd, mode_t mode, UniqueFd& fd, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporary_names::MakeName();
        fd = UniqueFd(
            ::openat(folder_fd, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode));
        if (fd) {
            HoldTemporary(fd.get());
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

class PosixStagedFile final : public StagedFile {
public:
    PosixStagedFile(const std::string& target, bool unnamed);
    ~PosixStagedFile() override;
    void Write(std::string_view bytes) override;
    void Commit() override;
    std::vector<FileNotice> TakeNotices() override { return std::exchange(notices_, {}); }

private:
    // kReplace: a new file is put in place of the target. kInPlace: the complete result is
    // written over the target's own content (it lies in a folder where no file may be made,
    // or is another user's in a sticky folder: it cannot be replaced). kDirect: a device, a
    // pipe or a descriptor handed over, written to as the result comes.
    enum class Way { kReplace, kInPlace, kDirect };
    // What the target's name leads to now, against what it led to when claimed.
    enum class Now { kSame, kGone, kOther };

    void RemoveLeftovers();
    void Claim();
    void Make();
    void MakeDirect();
    void KeepOwnerModeAndAttributes();
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
    std::string name_;    // the file's name in its folder, links followed
    bool unnamed_;
    Way way_ = Way::kReplace;
    UniqueFd folder_fd_;
    UniqueFd handed_;  // a file reached through a descriptor's link (O_PATH)
    bool existed_ = false;
    struct stat old_ {};      // the target as found, then as claimed
    UniqueFd lock_fd_;        // the target, locked against other writers until Commit
    UniqueFd fd_;             // what is written
    RewriteScratch scratch_;  // where, for an in-place rewrite (its fd then moved to fd_)
    bool made_ = false;
    std::uint64_t written_ = 0;
    std::string temporary_;  // a named temporary file in the folder, while it is there
    int noted_ = -1;
    bool committed_ = false;
    std::vector<FileNotice> notices_;
};

PosixStagedFile::PosixStagedFile(const std::string& target, bool unnamed)
    : target_(target), unnamed_(unnamed) {
    if (target.empty()) throw Failure(FileError::Op::Create, ENOENT);
    WriteTarget found = FindWriteTarget(target);
    existed_ = found.exists;
    old_ = found.st;
    if (existed_ && S_ISDIR(old_.st_mode)) throw Failure(FileError::Op::Create, EISDIR);
    if (found.handed || (existed_ && !S_ISREG(old_.st_mode))) {
        // Renaming over a device or a pipe would replace the node itself; a descriptor handed
        // over is the caller's to use as it stands.
        way_ = Way::kDirect;
        handed_ = std::move(found.handed);
        folder_fd_ = std::move(found.folder);
        name_ = std::move(found.name);
        return;
    }
    name_ = std::move(found.name);
    // Readable where possible: its entries are looked through, and it is made durable.
    folder_fd_ = UniqueFd(::openat(found.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder_fd_) folder_fd_ = std::move(found.folder);
    RemoveLeftovers();
    if (existed_) Claim();
}

void PosixStagedFile::RemoveLeftovers() {
    const std::string folder = ShownFolderPath(folder_fd_.get());
    for (const std::string& name : temporary_names::RemoveLeftovers(folder_fd_.get())) {
        notices_.push_back({FileNotice::Kind::kLeftoverRemoved, folder + name});
    }
}

// Locks the existing target and decides how it is written.
void PosixStagedFile::Claim() {
    // A read-only target is refused, though its folder would let it be replaced.
    if (::faccessat(folder_fd_.get(), name_.c_str(), W_OK, AT_EACCESS) != 0) {
        throw Failure(FileError::Op::Create, errno);
    }
    const int flags = O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;
    lock_fd_ = UniqueFd(::openat(folder_fd_.get(), name_.c_str(), O_RDONLY | flags));
    if (!lock_fd_ && errno == EACCES) {
        lock_fd_ = UniqueFd(::openat(folder_fd_.get(), name_.c_str(), O_WRONLY | flags));
    }
    struct stat st {};
    if (!lock_fd_ || ::fstat(lock_fd_.get(), &st) != 0) {
        throw Failure(FileError::Op::Create, errno);
    }
    if (st.st_dev != old_.st_dev || st.st_ino != old_.st_ino) {
        throw FileError(FileError::Op::Create, target_, EAGAIN, kReplacedReason);
    }
    old_ = st;
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
    if (foreign_in_sticky) way_ = Way::kInPlace;
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

void PosixStagedFile::MakeDirect() {
    // A regular file handed over is emptied, as a shell's ">" would; a pipe or device is not.
    const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | (S_ISREG(old_.st_mode) ? O_TRUNC : 0);
    if (handed_) {
        const std::string through = "/proc/self/fd/" + std::to_string(handed_.get());
        fd_ = UniqueFd(::open(through.c_str(), flags));
    } else {
        fd_ = UniqueFd(::openat(folder_fd_.get(), name_.c_str(), flags | O_NOFOLLOW));
    }
    if (!fd_) throw Failure(FileError::Op::Create, errno);
}

// The file that is written, made on first use.
void PosixStagedFile::Make() {
    switch (way_) {
        case Way::kDirect:
            MakeDirect();
            break;
        case Way::kInPlace:
            scratch_ = MakeRewriteScratch(folder_fd_.get(), target_);
            break;
        case Way::kReplace: {
            // Private until it is complete; a new target gets what a plain create gives.
            const mode_t mode = existed_ ? 0600 : 0666;
            int code = EOPNOTSUPP;
            if (unnamed_ && CanLinkUnnamed()) {
                fd_ = UniqueFd(
                    ::openat(folder_fd_.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
                code = fd_ ? 0 : errno;
                if (fd_) HoldTemporary(fd_.get());
            }
            if (NoUnnamedFiles(code)) {
                const temporary_names::SignalsHeld held;
                code = OpenNamed(folder_fd_.get(), mode, fd_, temporary_);
                if (code == 0) {
                    noted_ = temporary_names::Note(folder_fd_.get(), temporary_);
                } else {
                    temporary_.clear();
                }
            }
            if ((code == EACCES || code == EPERM) && existed_) {
                // No file may be made beside the target, but the target may be written.
                way_ = Way::kInPlace;
                scratch_ = MakeRewriteScratch(folder_fd_.get(), target_);
            } else if (code != 0) {
                throw Failure(FileError::Op::Create, code);
            }
            break;
        }
    }
    if (way_ == Way::kInPlace) fd_ = std::move(scratch_.fd);
    made_ = true;
}

void PosixStagedFile::Write(std::string_view bytes) {
    if (!made_) Make();
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw ScratchFailure(FileError::Op::Write, target_, errno, scratch_);
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
    // The result's lock, now the target's, goes with it.
    fd_.Reset();
    lock_fd_.Reset();
}

void PosixStagedFile::KeepOwnerModeAndAttributes() {
    struct stat made {};
    ::fstat(fd_.get(), &made);
    // Owner first: changing it may clear the set-user-ID bits that the mode then restores.
    if (made.st_uid != old_.st_uid || made.st_gid != old_.st_gid) {
        if (::fchown(fd_.get(), old_.st_uid, old_.st_gid) != 0) {
            // Only a privileged process may give a file away; the group, to one of its own.
            const bool group = ::fchown(fd_.get(), uid_t(-1), old_.st_gid) == 0;
            if (made.st_uid != old_.st_uid) {
                notices_.push_back({FileNotice::Kind::kOwnerNotKept, target_});
            }
            if (!group && made.st_gid != old_.st_gid) {
                notices_.push_back({FileNotice::Kind::kGroupNotKept, target_});
            }
        }
    }
    // Without its access control list the group bits, which are the list's mask, would grant
    // the whole group what the list granted a few: nothing is replaced with broader rights.
    // The list comes before the mode, which then sets a mask equal to the old one.
    AttributeLoss loss;
    if (!KeepExtendedAttributes(lock_fd_.get(), fd_.get(), loss)) {
        throw FileError(FileError::Op::Rename, target_, loss.code,
                        "Its " + loss.what + " could not be kept: " + SystemReason(loss.code) +
                            ". The file was left as it was");
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
    if (existed_) KeepOwnerModeAndAttributes();
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
    // Named just for the rename over the target: nothing else happens between the two, and
    // the name is held (locked) until it is gone.
    const temporary_names::SignalsHeld held;
    for (int attempt = 0;; ++attempt) {
        const std::string name = temporary_names::MakeName();
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

// Writes the complete result over the target's own content (see RewriteInPlace).
void PosixStagedFile::WriteInPlace() {
    // A termination signal that haojian-cli handles waits for the end.
    const temporary_names::TerminationDeferred deferred;
    if (TargetNow() != Now::kSame) throw Conflict(kReplacedReason);
    const UniqueFd out(
        ::openat(folder_fd_.get(), name_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW));
    struct stat st {};
    if (!out || ::fstat(out.get(), &st) != 0) throw Failure(FileError::Op::Create, errno);
    if (st.st_dev != old_.st_dev || st.st_ino != old_.st_ino) throw Conflict(kReplacedReason);
    RewriteInPlace(fd_.get(), written_, out.get(), folder_fd_.get(), target_);
}

}  // namespace

std::unique_ptr<StagedFile> CreatePosixStagedFile(const std::string& target, bool unnamed) {
    return std::make_unique<PosixStagedFile>(target, unnamed);
}

}  // namespace haojian
