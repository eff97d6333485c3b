#pragma once

#include <cstdint>
#include <string>

#include "core/platform/posix/unique_fd.h"

namespace haojian {

// The reason given when a file must be rewritten in place and its file system cannot set the
// room for the result aside first.
inline constexpr const char* kNoRoomPromiseReason =
    "The file must be rewritten in place and its file system cannot set the room for it aside "
    "first; it was left as it was";

// A file that no one else sees, open for reading and writing, for putting a result together:
// in the folder open as folder_fd where possible, else in the temporary folder ($TMPDIR or
// /tmp). Throws FileError (Create, with path).
UniqueFd MakeScratchFile(int folder_fd, const std::string& path);

// Rewrites the file open (read-write) as target with the first size bytes of result, for a
// target that cannot be replaced. The room the result needs is set aside and a copy of the old
// content made before the first old byte is overwritten; a failure after that puts the old
// content back. What remains is a kill (SIGKILL) or a power loss during the rewriting. Throws
// FileError (with path): Write, with kNoRoomPromiseReason where the file system cannot set room
// aside; Create when no copy of the old content can be made; Write or Close when the rewriting
// fails, the target then put back as it was (else the reason says where its old content was kept).
void RewriteInPlace(int result, std::uint64_t size, int target, int folder_fd,
                    const std::string& path);

}  // namespace haojian
