#pragma once

#include <memory>
#include <string>

#include "core/files/file_system.h"

namespace haojian {

// A private temporary file that a C library writes by name (the workbook writer does), read back
// once the library has closed it, so that the result can go on through a StagedFile. Where the
// system allows it has no name in any folder, so that nothing is left behind even by a kill;
// elsewhere its name is removed when this object goes.
class ScratchFile {
public:
    virtual ~ScratchFile() = default;
    // The name to give the library: a narrow path for the C runtime's fopen.
    virtual const std::string& path() const = 0;
    // Writes the whole file, as the library left it, to out. Throws FileError (Read from the
    // scratch file, or as out throws).
    virtual void CopyTo(OutputFile& out) = 0;
};

// A new, empty scratch file in the system's folder for temporary files. Platform code. Throws
// FileError (Create).
std::unique_ptr<ScratchFile> CreateScratchFile();

}  // namespace haojian
