#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/base/error.h"
#include "core/files/file_system.h"

namespace haojian {

// A failure of a temporary file: the operation (Create, Write or Read), the folder the file was
// made in as path, and the system's reason. A FileError, so that it travels as every file
// failure does; the front ends name the folder, which is what the user can mend.
class TemporaryFolderError : public FileError {
public:
    using FileError::FileError;
};

// A file in which a command sets data aside while it works. It has no name, or one the system
// deletes once the file is closed, from the moment it is made: it goes with its object, and
// with the process however that ends. Written from the start to the end, read at any offset.
class TemporaryFile : public OutputFile {
public:
    // Appends bytes. Throws TemporaryFolderError (Write): a full disk, a folder taken away.
    void Write(std::string_view bytes) override = 0;
    // Nothing: the file stays open to be read until its object goes.
    void Close() final {}
    // Reads up to size bytes from offset; fewer only at the end of what was written. Throws
    // TemporaryFolderError (Read).
    virtual std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) = 0;
};

// A new empty temporary file in folder (the system's temporary folder when empty). Throws
// TemporaryFolderError (Create) with folder as path: a folder that does not exist, is no
// folder, or may not be written. Platform code.
std::unique_ptr<TemporaryFile> CreateTemporaryFile(const std::string& folder);

// The system's folder for temporary files (TMPDIR, else /tmp; on Windows GetTempPath). Platform
// code.
std::string SystemTemporaryFolder();

}  // namespace haojian
