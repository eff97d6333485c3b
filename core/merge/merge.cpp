#include "core/merge/merge.h"

#include <algorithm>
#include <memory>

#include "core/base/huge_pages.h"
#include "core/files/buffered_writer.h"
#include "core/merge/unique_lines.h"
#include "core/text/fixed_texts.h"
#include "core/text/nul_byte.h"

namespace haojian {
namespace {

// The sources joined, read straight into one buffer sized for all of them; ends gets the end
// of each source in it.
std::string ReadSources(FileSystem& fs, const std::vector<std::string>& sources,
                        std::vector<std::size_t>& ends) {
    std::uint64_t total = 0;
    for (const std::string& source : sources) total += fs.SizeHint(source);
    std::string text;
    text.reserve(std::size_t(total));
    PrepareHugePages(text.data(), text.capacity());
    for (const std::string& source : sources) {
        AppendWholeFile(*fs.OpenRead(source), source, text);
        ends.push_back(text.size());
    }
    return text;
}

// Writes the sorted lines of text to result and puts it in place.
std::size_t WriteResult(ReplacementFile& result, std::string text,
                        const LocaleCollation& collation) {
    BufferedWriter out(result.file(), std::size_t(1) << 20);
    const std::size_t count = WriteSortedUniqueLines(std::move(text), collation, out);
    out.Flush();
    result.Commit();
    return count;
}

}  // namespace

MergeCutError::MergeCutError(std::string path, std::uint64_t offset, std::size_t line_count)
    : std::runtime_error(path + " holds a NUL byte at offset " + std::to_string(offset)),
      path_(std::move(path)),
      offset_(offset),
      line_count_(line_count) {}

std::size_t MergeDataFiles(const std::vector<std::string>& sources, const std::string& output,
                           FileSystem& fs, const LocaleCollation& collation) {
    // Claimed before the sources are read, so that an output that cannot be written is found
    // at once; its file is made only when the result is written.
    ReplacementFile result(fs, output);
    std::vector<std::size_t> ends;
    std::string text = ReadSources(fs, sources, ends);
    const std::size_t nul = FindNul(text);
    const std::size_t count = WriteResult(result, std::move(text), collation);
    if (nul != std::string::npos) {
        const std::size_t i =
            std::size_t(std::upper_bound(ends.begin(), ends.end(), nul) - ends.begin());
        throw MergeCutError(sources[i], nul - (i == 0 ? 0 : ends[i - 1]), count);
    }
    return count;
}

std::string MergedStatusText(std::size_t line_count) {
    return std::string(text::kMergedPrefix) + std::to_string(line_count);
}

}  // namespace haojian
