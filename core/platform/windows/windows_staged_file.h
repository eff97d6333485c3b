#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/files/file_system.h"

namespace haojian {

// The StagedFile of the real file system on Windows. The result is written to a hidden
// ".haojian-XXXXXX" file in the target's folder that is marked for deletion from the moment it
// is made, so that the system removes it however the process ends (Ctrl+C, a closed console,
// the task manager) until Commit. Commit flushes it, gives it the old file's permissions (a
// failure refuses the commit: the new file would grant more) and attributes, takes the mark
// back and renames it over the target through its handle, one step on the same volume: the
// target's name holds the old file or the new one at every moment. A new target is refused
// with EEXIST when another program made it meanwhile. An existing target is held open from here
// to Commit so that no other program may write it; one that another program is writing is
// refused (EWOULDBLOCK), a read-only one too (EACCES). A device or a pipe is written to
// directly. Hidden files that runs ended within Commit left in the folder are removed first
// where they are copies of a result beside the target it was to replace; any other is kept, as
// it may be someone's only copy: each is said in a notice. Throws FileError (Create).
std::unique_ptr<StagedFile> CreateWindowsStagedFile(const std::string& target);

// A StagedFile that writes to handle (a device, a pipe, a standard stream) directly, named
// target in errors; it takes the handle.
std::unique_ptr<StagedFile> CreateWindowsDirectFile(const std::string& target, HANDLE handle);

}  // namespace haojian
