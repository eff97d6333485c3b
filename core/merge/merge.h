#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/files/file_system.h"

namespace haojian {

// A NUL byte ended the merged text early. The lines before it were sorted and written as a
// complete result (line_count of them); everything from the byte on was left out. The front
// ends word it; what() is for logs.
class MergeCutError : public std::runtime_error {
public:
    MergeCutError(std::string path, std::uint64_t offset, std::size_t line_count);
    // The file holding the NUL byte, and the byte's offset in it (0 for its first byte).
    const std::string& path() const { return path_; }
    std::uint64_t offset() const { return offset_; }
    std::size_t line_count() const { return line_count_; }

private:
    std::string path_;
    std::uint64_t offset_;
    std::size_t line_count_;
};

// Joins the sources byte for byte in list order (a source without a final line break joins
// its last line to the next one's first), and writes the distinct lines of the joined text to
// output in ascending order of collation, each with the bytes of its first occurrence and
// followed by CR LF. Gives the number of lines written.
//
// Output is claimed first (an output that cannot be written fails before any source is read)
// and replaced only once the result is complete (see StagedFile), so output may be one of the
// sources (it is merged with its old content) and a failure leaves every file as it was. The
// sources are read straight into one buffer sized for all of them. Throws FileError: Create,
// Write, Close or Rename with output as path, Open or Read with the source's (a source that
// shrank or grew while read is a Read failure); throws MergeCutError after writing when a NUL
// byte cut the text short.
std::size_t MergeDataFiles(const std::vector<std::string>& sources, const std::string& output,
                           FileSystem& fs = RealFileSystem(),
                           const LocaleCollation& collation = DefaultCollation());

// "文件合并整理完毕！共计：N".
std::string MergedStatusText(std::size_t line_count);

}  // namespace haojian
