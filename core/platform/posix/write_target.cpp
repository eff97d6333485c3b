#include "core/platform/posix/write_target.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "core/files/file_system.h"

namespace haojian {
namespace {

constexpr int kMaxLinks = 40;  // as many as the kernel follows in one path

struct PathParts {
    std::string folder;  // "." when the path has none
    std::string name;
};

PathParts SplitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

FileError CreateError(const std::string& path, int code) {
    return FileError(FileError::Op::Create, path, code);
}

UniqueFd OpenPath(int at, const char* name, int flags, const std::string& path) {
    UniqueFd fd(::openat(at, name, O_PATH | O_DIRECTORY | O_CLOEXEC | flags));
    if (!fd) throw CreateError(path, errno);
    return fd;
}

}  // namespace

std::string ShownFolderPath(int fd) {
    std::vector<char> buffer(4096);
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(proc.c_str(), buffer.data(), buffer.size());
    if (n <= 0 || std::size_t(n) >= buffer.size()) return {};
    std::string path(buffer.data(), std::size_t(n));
    if (!path.ends_with('/')) path += '/';
    return path;
}

namespace {

std::string LinkText(int folder, const std::string& name, const std::string& path) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlinkat(folder, name.c_str(), buffer.data(), buffer.size());
        if (n < 0) throw CreateError(path, errno);
        if (std::size_t(n) < buffer.size()) return {buffer.data(), std::size_t(n)};
        buffer.resize(buffer.size() * 2);
    }
}

// The kernel's protected_symlinks rule for a link in the folder open as folder.
bool MayFollow(int folder, const struct stat& link) {
    struct stat st {};
    if (::fstat(folder, &st) != 0) return false;
    const bool shared = (st.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == st.st_uid;
}

bool OnProc(int fd) {
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
}

// A link that the rule forbids to follow, named by where it is.
FileError Refused(int folder, const std::string& name) {
    return FileError(FileError::Op::Create, ShownFolderPath(folder) + name, EACCES,
                     kSharedFolderLinkReason);
}

// Opens folder (relative to the folder open as at) part by part, following each link on the
// way as the kernel would, under the same rule as the last part of a path; links counts the
// links followed. Throws as FindWriteTarget.
UniqueFd OpenFolder(int at, std::string_view folder, const std::string& path, int& links) {
    UniqueFd current = OpenPath(folder.starts_with('/') ? AT_FDCWD : at,
                                folder.starts_with('/') ? "/" : ".", 0, path);
    while (!folder.empty()) {
        const std::size_t slash = folder.find('/');
        const std::string part(folder.substr(0, slash));
        folder.remove_prefix(slash == std::string_view::npos ? folder.size() : slash + 1);
        if (part.empty() || part == ".") continue;
        struct stat st {};
        if (::fstatat(current.get(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            throw CreateError(path, errno);
        }
        if (!S_ISLNK(st.st_mode)) {
            current = OpenPath(current.get(), part.c_str(), O_NOFOLLOW, path);
            continue;
        }
        if (++links > kMaxLinks) throw CreateError(path, ELOOP);
        if (!MayFollow(current.get(), st)) throw Refused(current.get(), part);
        // A descriptor's link in /proc is followed by the kernel alone: its text may name
        // nothing that can be opened.
        current = OnProc(current.get())
                      ? OpenPath(current.get(), part.c_str(), 0, path)
                      : OpenFolder(current.get(), LinkText(current.get(), part, path), path, links);
    }
    return current;
}

}  // namespace

WriteTarget FindWriteTarget(const std::string& path) {
    // Where an open would land: the walk below must end at the same file.
    UniqueFd opened(::open(path.c_str(), O_PATH | O_CLOEXEC));
    const int open_error = opened ? 0 : errno;

    WriteTarget target;
    PathParts at = SplitPath(path);
    int links = 0;
    target.folder = OpenFolder(AT_FDCWD, at.folder, path, links);
    target.name = at.name;
    std::string shown = path;  // the link being looked at, for a refusal
    for (;;) {
        if (target.name.empty()) throw CreateError(path, EISDIR);
        struct stat st {};
        if (::fstatat(target.folder.get(), target.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) throw CreateError(path, errno);
            break;  // a file to be made
        }
        if (!S_ISLNK(st.st_mode)) {
            target.exists = true;
            target.st = st;
            break;
        }
        if (++links > kMaxLinks) throw CreateError(path, ELOOP);
        if (!MayFollow(target.folder.get(), st)) {
            throw FileError(FileError::Op::Create, shown, EACCES, kSharedFolderLinkReason);
        }
        if (OnProc(target.folder.get())) {
            // A descriptor's link: no text says where it leads, only the kernel knows.
            if (!opened) throw CreateError(path, open_error);
            target.folder.Reset();
            target.name.clear();
            target.exists = ::fstat(opened.get(), &target.st) == 0;
            if (!target.exists) throw CreateError(path, errno);
            target.handed = std::move(opened);
            return target;
        }
        at = SplitPath(LinkText(target.folder.get(), target.name, path));
        target.folder = OpenFolder(target.folder.get(), at.folder, path, links);
        target.name = at.name;
        shown = ShownFolderPath(target.folder.get()) + at.name;
    }
    if (!target.exists && open_error != ENOENT) {
        throw CreateError(path, open_error == 0 ? EAGAIN : open_error);
    }
    struct stat st {};
    if (target.exists && (!opened || ::fstat(opened.get(), &st) != 0 ||
                          st.st_dev != target.st.st_dev || st.st_ino != target.st.st_ino)) {
        throw FileError(FileError::Op::Create, path, EAGAIN,
                        "The file changed while its links were followed");
    }
    return target;
}

}  // namespace haojian
