#include "merge.h"

#include <algorithm>
#include <memory>

#include "buffered_writer.h"
#include "fixed_texts.h"
#include "unique_lines.h"

namespace haojian {
namespace {

// The message for a failed operation; output stands for the files made to replace it.
FileOperationError MergeError(const FileError& e, const std::string& output) {
    const std::string reason = "\". " + ReasonForMessage(e.code());
    switch (e.op()) {
        case FileError::Op::Open:
            return {"Cannot open file \"" + PathForMessage(e.path()) + reason, e.path(), e.code()};
        case FileError::Op::Read:
            return {"Stream read error", e.path(), e.code()};
        case FileError::Op::Write:
        case FileError::Op::Close:
            return {"Stream write error", output, e.code()};
        default:
            return {"Cannot create file \"" + PathForMessage(output) + reason, output, e.code()};
    }
}

void AppendSource(FileSystem& fs, const std::string& path, std::string& text) {
    const std::unique_ptr<InputFile> source = fs.OpenRead(path);
    const std::size_t start = text.size();
    AppendWholeFile(*source, text);
    if (text.size() - start < source->Size())
        throw FileOperationError("Stream read error", path, 0);
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
    : Error("File \"" + PathForMessage(path) + "\" holds a NUL byte at offset " +
            std::to_string(offset) + ": the merged text ends there"),
      path_(std::move(path)),
      offset_(offset),
      line_count_(line_count) {}

std::size_t MergeDataFiles(const std::vector<std::string>& sources, const std::string& output,
                           FileSystem& fs, const LocaleCollation& collation) {
    try {
        ReplacementFile result(fs, output);
        std::string text;
        std::vector<std::size_t> ends;
        for (const std::string& source : sources) {
            AppendSource(fs, source, text);
            ends.push_back(text.size());
        }
        const std::size_t nul = text.find('\0');
        const std::size_t count = WriteResult(result, std::move(text), collation);
        if (nul != std::string::npos) {
            const std::size_t i =
                std::size_t(std::upper_bound(ends.begin(), ends.end(), nul) - ends.begin());
            throw MergeCutError(sources[i], nul - (i == 0 ? 0 : ends[i - 1]), count);
        }
        return count;
    } catch (const FileError& e) {
        throw MergeError(e, output);
    }
}

std::size_t SortUniqueLines(const std::string& path, FileSystem& fs,
                            const LocaleCollation& collation) {
    try {
        std::string text = ReadWholeFile(fs, path);
        const std::size_t nul = text.find('\0');
        ReplacementFile result(fs, path);
        const std::size_t count = WriteResult(result, std::move(text), collation);
        if (nul != std::string::npos) throw MergeCutError(path, nul, count);
        return count;
    } catch (const FileError& e) {
        throw MergeError(e, path);
    }
}

std::string MergedStatusText(std::size_t line_count) {
    return std::string(text::kMergedPrefix) + std::to_string(line_count);
}

}  // namespace haojian
