#include "core/platform/posix/in_place_rewrite.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "core/files/file_system.h"
#include "core/files/temporary_file.h"
#include "core/platform/posix/posix_temporary_file.h"
#include "core/platform/posix/temporary_names.h"

namespace haojian {
namespace {

// A scratch file in the folder open as folder_fd; 0 or the error number.
int OpenScratch(int folder_fd, UniqueFd& fd) {
    fd = OpenUnnamedFile(folder_fd, ".");
    if (fd) return 0;
    if (!NoUnnamedFiles(errno)) return errno;
    // Named for a moment only, with termination signals held back.
    const temporary_names::SignalsHeld held;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporary_names::MakeName();
        fd = UniqueFd(
            ::openat(folder_fd, name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600));
        if (fd) {
            ::unlinkat(folder_fd, name.c_str(), 0);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// Copies size bytes of in, from its start, over the start of out; 0 or the error number.
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
            const std::size_t want =
                std::size_t(std::min<std::uint64_t>(buffer.size(), size - in_at));
            const ssize_t got = ::pread(in, buffer.data(), want, in_at);
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

// Writes the first size bytes of from over to and cuts to there; 0 or the error number.
int Overwrite(int from, std::uint64_t size, int to) {
    int code = CopyFile(from, to, size);
    if (code == 0 && ::ftruncate(to, off_t(size)) != 0) code = errno;
    if (code == 0 && ::fsync(to) != 0 && errno != EINVAL) code = errno;
    return code;
}

// Gives the unnamed file backup a name in the temporary folder; the name, or empty.
std::string KeepAside(int backup) {
    const std::string from = "/proc/self/fd/" + std::to_string(backup);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path =
            SystemTemporaryFolder() + "/haojian-old-" + temporary_names::MakeName().substr(9);
        if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return path;
        }
        if (errno != EEXIST) break;
    }
    return {};
}

// File systems that write every block anew, even one that a file holds: a reservation there
// promises nothing for an overwrite.
bool CopiesOnWrite(int fd) {
    constexpr decltype(statfs::f_type) kZfs = 0x2fc12fc1;
    constexpr decltype(statfs::f_type) kBcachefs = 0xca451a4e;
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 &&
           (fs.f_type == BTRFS_SUPER_MAGIC || fs.f_type == kZfs || fs.f_type == kBcachefs);
}

// Sets aside the room for size bytes in target; throws as RewriteInPlace.
void SetRoomAside(int target, const struct stat& old, std::uint64_t size, const std::string& path) {
    if (CopiesOnWrite(target)) {
        struct statvfs fs {};
        if (::fstatvfs(target, &fs) != 0) throw FileError(FileError::Op::Write, path, errno);
        if (size > std::uint64_t(fs.f_bavail) * fs.f_frsize) {
            throw FileError(FileError::Op::Write, path, ENOSPC, kNoRoomForCopyReason);
        }
        return;
    }
    if (size != 0 && ::fallocate(target, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0) {
        const int code = errno;
        if (code != EOPNOTSUPP && code != ENOSYS) throw FileError(FileError::Op::Write, path, code);
        // Without fallocate only the blocks the file holds already are sure.
        const std::uint64_t held =
            std::min(std::uint64_t(old.st_size), std::uint64_t(old.st_blocks) * 512);
        if (size > held) throw FileError(FileError::Op::Write, path, code, kNoRoomPromiseReason);
    }
}

}  // namespace

RewriteScratch MakeRewriteScratch(int folder_fd, const std::string& path) {
    RewriteScratch scratch;
    int code = OpenScratch(folder_fd, scratch.fd);
    if (code == 0) return scratch;
    scratch.folder = SystemTemporaryFolder();
    const UniqueFd temporary(::open(scratch.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    code = temporary ? OpenScratch(temporary.get(), scratch.fd) : errno;
    if (code != 0) throw ScratchFailure(FileError::Op::Create, path, code, scratch);
    return scratch;
}

FileError ScratchFailure(FileError::Op op, const std::string& path, int code,
                         const RewriteScratch& scratch) {
    if (scratch.folder.empty()) return FileError(op, path, code);
    return FileError(op, path, code,
                     SystemReason(code) + " in the temporary folder " + scratch.folder +
                         ", where the result is put together before it is written over the file");
}

void RewriteInPlace(int result, std::uint64_t size, int target, int folder_fd,
                    const std::string& path) {
    struct stat old {};
    if (::fstat(target, &old) != 0) throw FileError(FileError::Op::Write, path, errno);
    const auto old_size = std::uint64_t(old.st_size);
    SetRoomAside(target, old, size, path);
    const RewriteScratch backup_file = MakeRewriteScratch(folder_fd, path);
    const UniqueFd& backup = backup_file.fd;
    if (const int code = CopyFile(target, backup.get(), old_size); code != 0) {
        throw ScratchFailure(FileError::Op::Create, path, code, backup_file);
    }

    const int code = Overwrite(result, size, target);
    if (code == 0) return;
    if (Overwrite(backup.get(), old_size, target) == 0) {
        throw FileError(FileError::Op::Write, path, code);
    }
    const std::string kept = KeepAside(backup.get());
    throw FileError(FileError::Op::Write, path, code,
                    SystemReason(code) + "; the file could not be put back as it was" +
                        (kept.empty() ? "" : ": its old content is in " + kept));
}

}  // namespace haojian
