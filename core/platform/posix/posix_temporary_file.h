#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

#include "core/platform/posix/unique_fd.h"

namespace haojian {

// An unnamed file (O_TMPFILE) of this user alone in folder, a path taken from at as openat takes
// it (AT_FDCWD, or "." in a folder open as at). Empty, with errno set, where the folder refuses
// one or there are no unnamed files (NoUnnamedFiles).
UniqueFd OpenUnnamedFile(int at, const char* folder);

// True for the error numbers of a file system (or kernel) that has no unnamed files.
bool NoUnnamedFiles(int code);

// Reads up to size bytes of fd from offset, going on after interruptions and short reads; fewer
// only at the end of the file. -1 with errno set on failure.
ssize_t ReadFullyAt(int fd, std::uint64_t offset, char* buffer, std::size_t size);

}  // namespace haojian
