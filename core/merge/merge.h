#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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
// sources are read straight into one buffer sized for all of them, up to the first NUL byte:
// no byte after it is read, and no later source opened. Throws FileError: Create,
// Write, Close or Rename with output as path, Open or Read with the source's (a source that
// shrank or grew while read is a Read failure); throws MergeCutError after writing when a NUL
// byte cut the text short.
std::size_t MergeDataFiles(const std::vector<std::string>& sources, const std::string& output,
                           FileSystem& fs = RealFileSystem(),
                           const LocaleCollation& collation = DefaultCollation());

// How far a merge has come: reading the sources and sorting runs of them, then merging the
// runs, in one pass or more (each pass but the last merges groups of runs into fewer).
struct MergeProgress {
    enum class Stage { Reading, Merging };
    Stage stage = Stage::Reading;
    unsigned pass = 0;    // Merging: this pass, from 1
    unsigned passes = 0;  // Merging: the passes in all
    std::uint64_t done = 0;
    std::uint64_t total = 0;  // Reading: 0 when the sources' sizes are unknown
};

struct MergeOptions {
    // The memory the merge may take, in bytes; 0: DefaultMergeMemory(). Sources that fit are
    // merged in memory at once; larger ones are sorted in runs that fit, each set aside in a
    // temporary file, and the runs merged.
    std::uint64_t memory = 0;
    // Where the runs go; empty: the system's temporary folder.
    std::string temporary_folder;
    // Called now and then on the merging thread.
    std::function<void(const MergeProgress&)> progress;
};

// The same, within options.memory. The result is the same bytes whatever the memory. A run
// file that cannot be made, written or read fails the merge with TemporaryFolderError naming
// the folder; the output and the sources stay as they were, and no run file stays behind.
std::size_t MergeDataFiles(const std::vector<std::string>& sources, const std::string& output,
                           const MergeOptions& options, FileSystem& fs = RealFileSystem(),
                           const LocaleCollation& collation = DefaultCollation());

// Three quarters of the memory free when asked (see AvailableMemory), at least 64 MiB; 1 GiB
// when the system does not say.
std::uint64_t DefaultMergeMemory();

// What the window's status bar shows of progress: "数据正处理中...读取并排序 35%", then
// "数据正处理中...归并第1遍，共2遍 60%" (the share only where the total is known).
std::string MergeProgressText(const MergeProgress& progress);

// "文件合并整理完毕！共计：N".
std::string MergedStatusText(std::size_t line_count);

}  // namespace haojian
