#pragma once

#include <cstdint>
#include <string>

#include "core/base/error.h"
#include "core/platform/posix/unique_fd.h"

namespace haojian {

// The reason given when a file must be rewritten in place and its file system cannot set the
// room for the result aside first.
inline constexpr const char* kNoRoomPromiseReason =
    "The file must be rewritten in place and its file system cannot set the room for it aside "
    "first; it was left as it was";

// The reason given when a file must be rewritten in place on a file system that copies on
// write, whose free space does not cover the whole result.
inline constexpr const char* kNoRoomForCopyReason =
    "The file must be rewritten in place and its file system writes every block anew; there is "
    "not room for the whole result on its disk, so it was left as it was";

// A file that no one else sees, open for reading and writing, for putting a result together.
struct RewriteScratch {
    UniqueFd fd;
    // The temporary folder it is in ($TMPDIR or /tmp), for messages; empty when it is in the
    // target's own folder.
    std::string folder;
};

// A RewriteScratch in the folder open as folder_fd where possible, else in the temporary folder.
// Throws FileError (Create, with path; a failure in the temporary folder names it).
RewriteScratch MakeRewriteScratch(int folder_fd, const std::string& path);

// The failure op of path, for an error code met writing scratch: one in the temporary folder
// names that folder, whose disk is the one that is full, not the target's.
FileError ScratchFailure(FileError::Op op, const std::string& path, int code,
                         const RewriteScratch& scratch);

// Rewrites the file open (read-write) as target with the first size bytes of result, for a
// target that cannot be replaced. The room the result needs is set aside and a copy of the old
// content made before the first old byte is overwritten; a failure after that puts the old
// content back. A file system that copies on write (btrfs, ZFS, bcachefs) writes new blocks even
// over those the file holds, so no room can be set aside there: its free space must cover the
// whole result. What remains is a kill (SIGKILL) or a power loss during the rewriting. Throws
// FileError (with path): Write, with kNoRoomPromiseReason where the file system cannot set room
// aside, or ENOSPC and kNoRoomForCopyReason; Create when no copy of the old content can be made;
// Write or Close when the rewriting fails, the target then put back as it was (else the reason
// says where its old content was kept).
void RewriteInPlace(int result, std::uint64_t size, int target, int folder_fd,
                    const std::string& path);

}  // namespace haojian
