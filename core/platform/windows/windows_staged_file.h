#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/files/file_system.h"

namespace haojian {

// The StagedFile of the real file system on Windows. The result is written to a hidden
// ".haojian-XXXXXX" file in the target's folder that is marked for deletion from the moment it
// is made, so that the system removes it however the process ends (Ctrl+C, a closed console,
// the task manager) until Commit takes the mark back, flushes it and puts it in place:
// ReplaceFileW over an existing target (its attributes and security kept), MoveFileExW with
// MOVEFILE_WRITE_THROUGH for a new one (refused with EEXIST when another program made the
// target meanwhile). An existing target is held open from here to Commit so that no other
// program may write it; one that another program is writing is refused (EWOULDBLOCK), a
// read-only one too (EACCES). A device or a pipe is written to directly. The hidden files that
// runs ended within Commit left in the folder are removed first, each said in a notice.
// Throws FileError (Create).
std::unique_ptr<StagedFile> CreateWindowsStagedFile(const std::string& target);

// A StagedFile that writes to handle (a device, a pipe, a standard stream) directly, named
// target in errors; it takes the handle.
std::unique_ptr<StagedFile> CreateWindowsDirectFile(const std::string& target, HANDLE handle);

}  // namespace haojian
