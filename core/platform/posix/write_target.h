#pragma once

#include <sys/stat.h>

#include <string>

#include "core/platform/posix/unique_fd.h"

namespace haojian {

// The reason given for a link that is not followed (see FindWriteTarget).
inline constexpr const char* kSharedFolderLinkReason =
    "A link in a folder that everyone may write, owned by another user, is not followed";

// Where writing to a path lands. Links at the end of the path are followed as the kernel
// follows them for an open, including the rule that Linux applies with fs.protected_symlinks
// (on by default in Debian), whether the system enforces it or not: in a sticky folder that
// everyone may write (/tmp), only a link owned by this process's user or by the folder's owner
// is followed, so that no other user can aim a write through a link planted there. A dangling
// link leads to the place it names.
struct WriteTarget {
    UniqueFd folder;   // the folder the file is (or is to be) in; O_PATH when it cannot be read
    std::string name;  // its name there
    bool exists = false;
    struct stat st {};  // the file, when it exists
    // A file reached through a descriptor's link in /proc (/dev/stdout, /dev/fd/N, a shell's
    // process substitution): opened O_PATH by the kernel, to be written as it stands. folder
    // and name are then empty.
    UniqueFd handed;
};

// Throws FileError (Create): with path for a missing folder on the way (ENOENT, ENOTDIR), too
// many links (ELOOP), or a path that changed while it was followed (EAGAIN); with the link's
// own path for a link that is not followed (EACCES, kSharedFolderLinkReason).
WriteTarget FindWriteTarget(const std::string& path);

// The path of the folder open as fd, as the kernel shows it, ending in "/" (empty when unknown):
// for messages only.
std::string ShownFolderPath(int fd);

}  // namespace haojian
