#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/export/export.h"
#include "core/lookup/number_lookup.h"
#include "core/threads/chunk_pipeline.h"

namespace haojian {

struct CodeTables;
class LocaleCollation;
class SegmentDatabase;

// The export of number lists that are looked up on the way: what ExportRows writes for the
// rows of the lists, in list order, without holding the rows. Each list is cut into chunks
// that are looked up and formed into lines on several threads, then written in order.
class NumberListExport {
public:
    // Throws Error for an unknown layout, or as ExportFile when the file cannot be made.
    NumberListExport(const SegmentDatabase& database, const CodeTables& tables,
                     const LocaleCollation& collation, const ExportFilter& filter,
                     std::string_view layout_text, const std::string& path,
                     FileSystem& fs = RealFileSystem(), unsigned threads = 0,
                     std::size_t chunk_bytes = std::size_t(256) << 10);

    // Exports the numbers of list, its lines by the line rule (the caller has cut it at a NUL
    // byte). done, when given, is told the bytes of list written so far, a chunk at a time, on
    // the calling thread.
    void Add(std::string_view list, const std::function<void(std::size_t bytes)>& done = {});
    // Puts the file in place; gives the number of lines written.
    std::size_t Commit() { return file_.Commit(); }

private:
    NumberResolver resolve_;
    ExportLines lines_;
    ExportFile file_;
    ChunkPipeline pipeline_;  // its threads and buffers serve every list
};

}  // namespace haojian
