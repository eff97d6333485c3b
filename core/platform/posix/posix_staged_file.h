#pragma once

#include <memory>
#include <string>

#include "core/files/file_system.h"

namespace haojian {

// The StagedFile of the real file system (Linux). The result is written to an unnamed file
// (O_TMPFILE) in the target's folder and given its name only at Commit, so that a process
// killed in between, even by SIGKILL, leaves the folder as it was. Where the file system has
// no unnamed files (or unnamed is false), a hidden ".haojian-XXXXXX" file stands in, noted in
// temporary_names, locked (flock) while it lives so that the next run writing into the folder
// can tell a leftover of a killed run from a live one and remove it. An existing target is
// locked from here to Commit, which refuses when the name no longer leads to the file that was
// locked. Links are followed as write_target.h says; a target that cannot be replaced is
// rewritten as in_place_rewrite.h says. Throws FileError (Create).
std::unique_ptr<StagedFile> CreatePosixStagedFile(const std::string& target, bool unnamed = true);

}  // namespace haojian
