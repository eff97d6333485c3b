#include "core/export/table_export.h"

#include <array>

#include "core/table/packed_rows.h"

namespace haojian {

SingleTableTarget::SingleTableTarget(std::unique_ptr<TableWriter> writer,
                                     const std::vector<std::string>& header)
    : writer_(std::move(writer)) {
    const std::vector<std::string_view> cells(header.begin(), header.end());
    writer_->AddHeader(cells);
}

void SingleTableTarget::Add(std::string_view, std::span<const std::string_view> cells) {
    writer_->AddRow(cells);
}

bool SplitFieldFromName(std::string_view name, SplitField& field) {
    if (name == "province") {
        field = SplitField::kProvince;
    } else if (name == "city") {
        field = SplitField::kCity;
    } else if (name == "card") {
        field = SplitField::kCard;
    } else {
        return false;
    }
    return true;
}

NumberListTableExport::NumberListTableExport(
    const SegmentDatabase& database, const CodeTables& tables, const LocaleCollation& collation,
    const ExportFilter& filter, std::string_view layout_text, std::optional<SplitField> split,
    ExportTarget& target, unsigned threads, std::size_t chunk_bytes)
    : resolve_(database, tables, collation),
      cells_(filter, layout_text),
      split_(split),
      target_(target),
      pipeline_(threads, chunk_bytes) {}

void NumberListTableExport::Add(std::string_view list,
                                const std::function<void(std::size_t bytes)>& done) {
    // A chunk's rows go packed: the key first, then the cells.
    const ChunkWork work{
        [&](std::size_t, std::string_view chunk, std::string& out) {
            std::size_t count = 0;
            std::string masked;
            std::array<std::string_view, ExportCells::kMaxCells + 1> row;
            ResolveLines(chunk, resolve_, [&](const LookupResult& r) {
                const ResultRowView view{r.number, r.province, r.city, r.card_type};
                std::array<std::string_view, ExportCells::kMaxCells> cells;
                const std::size_t n = cells_.Cells(view, masked, cells);
                if (n == 0) return;
                row[0] = !split_                            ? std::string_view()
                         : *split_ == SplitField::kProvince ? r.province
                         : *split_ == SplitField::kCity     ? r.city
                                                            : r.card_type;
                std::copy_n(cells.begin(), n, row.begin() + 1);
                AppendPackedRow(out, std::span(row.data(), n + 1));
                ++count;
            });
            return count;
        },
        [&](std::string_view chunk, std::string_view out, std::size_t count) {
            ForEachPackedRow(out, [&](std::span<const std::string_view> row) {
                target_.Add(row[0], row.subspan(1));
            });
            rows_ += count;
            if (done) done(chunk.size());
        }};
    pipeline_.Run(list, work);
}

std::size_t NumberListTableExport::Commit() {
    target_.Commit();
    return rows_;
}

}  // namespace haojian
