#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/export/export_cells.h"
#include "core/lookup/number_lookup.h"
#include "core/table/table_writer.h"
#include "core/threads/chunk_pipeline.h"

namespace haojian {

struct CodeTables;
class LocaleCollation;
class SegmentDatabase;

// Where the rows of an export go as table cells, in list order. key is the row's value of the
// field the export is split by (empty when it is not split).
class ExportTarget {
public:
    virtual ~ExportTarget() = default;
    virtual void Add(std::string_view key, std::span<const std::string_view> cells) = 0;
    // Puts every file in place. Throws FileError.
    virtual void Commit() = 0;
};

// One table: the header, then every row.
class SingleTableTarget final : public ExportTarget {
public:
    SingleTableTarget(std::unique_ptr<TableWriter> writer, const std::vector<std::string>& header);
    void Add(std::string_view key, std::span<const std::string_view> cells) override;
    void Commit() override { writer_->Commit(); }

private:
    std::unique_ptr<TableWriter> writer_;
};

// The field an export may be split by.
enum class SplitField { kProvince, kCity, kCard };
// The field named "province", "city" or "card"; false for any other name.
bool SplitFieldFromName(std::string_view name, SplitField& field);

// The export of number lists looked up on the way, as NumberListExport does it, but as table
// cells that go to a target: each list is cut into chunks that are looked up and formed into
// cells on several threads, then handed to the target in order.
class NumberListTableExport {
public:
    // Throws Error for an unknown layout.
    NumberListTableExport(const SegmentDatabase& database, const CodeTables& tables,
                          const LocaleCollation& collation, const ExportFilter& filter,
                          std::string_view layout_text, std::optional<SplitField> split,
                          ExportTarget& target, unsigned threads = 0,
                          std::size_t chunk_bytes = std::size_t(256) << 10);

    // The header naming the layout's fields.
    std::vector<std::string> Header() const { return cells_.Header(); }
    // Exports the numbers of list (cut at a NUL byte by the caller); done, when given, is told
    // the bytes of list handed on so far, on the calling thread.
    void Add(std::string_view list, const std::function<void(std::size_t bytes)>& done = {});
    // The number of rows exported so far.
    std::size_t Rows() const { return rows_; }
    // Puts the files in place; gives the number of rows exported.
    std::size_t Commit();

private:
    NumberResolver resolve_;
    ExportCells cells_;
    std::optional<SplitField> split_;
    ExportTarget& target_;
    ChunkPipeline pipeline_;
    std::size_t rows_ = 0;
};

}  // namespace haojian
