#include "core/export/list_export.h"

#include "core/lookup/number_lookup.h"

namespace haojian {

NumberListExport::NumberListExport(const SegmentDatabase& database, const CodeTables& tables,
                                   const LocaleCollation& collation, const ExportFilter& filter,
                                   std::string_view layout_text, const std::string& path,
                                   FileSystem& fs, unsigned threads, std::size_t chunk_bytes)
    : resolve_(database, tables, collation),
      lines_(filter, layout_text),
      file_(path, fs),
      pipeline_(threads, chunk_bytes) {}

void NumberListExport::Add(std::string_view list,
                           const std::function<void(std::size_t bytes)>& done) {
    const ChunkWork work{
        [&](std::size_t, std::string_view chunk, std::string& out) {
            std::size_t count = 0;
            ResolveLines(chunk, resolve_, [&](const LookupResult& r) {
                count += lines_.Append({r.number, r.province, r.city, r.card_type}, out) ? 1 : 0;
            });
            return count;
        },
        [&](std::string_view chunk, std::string_view out, std::size_t count) {
            file_.Write(out, count);
            if (done) done(chunk.size());
        }};
    pipeline_.Run(list, work);
}

}  // namespace haojian
