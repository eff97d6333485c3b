#include "window/export_job.h"

#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/export/export.h"
#include "core/export/export_cells.h"
#include "core/export/looked_up_rows.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"
#include "core/table/csv_writer.h"
#include "core/table/table_error.h"
#include "core/table/table_reader.h"
#include "core/table/text_line_writer.h"

namespace haojian {
namespace {

std::size_t WriteWholeRows(const ExportJob& job, const ExportFilter& filter, FileSystem& files) {
    if (!job.table || job.database == nullptr)
        throw Error(std::string(text::kRefuseWholeRowsWithoutTable));
    const std::unique_ptr<TableReader> reader =
        TableReader::Open(files, job.table->path, job.table->options);
    // The file was replaced by a text list since it was imported.
    if (reader->layout().format == TableFormat::kTextList) {
        throw TableError(TableError::Kind::kNoColumn, job.table->path,
                         "it is no longer a workbook or CSV table");
    }
    OutputFormat format = OutputFormatFromPath(job.path);
    // Whole rows have no line of their own: a text file holds them tab-separated.
    if (format == OutputFormat::kText) format = OutputFormat::kTsv;
    const std::unique_ptr<TableWriter> writer =
        OpenTableWriter(files, job.path, format, CsvEncoding::kGbk);
    CodeTables tables;
    ReloadCodeTables(tables);
    const NumberResolver resolve(*job.database, tables, DefaultCollation());
    const std::size_t written = WriteLookedUpRows(*reader, resolve, *writer, &filter);
    writer->Commit();
    return written;
}

}  // namespace

std::size_t WriteExport(const ExportJob& job, FileSystem& files) {
    const ExportFilter filter{job.province, job.city, job.card_type};
    if (IsWholeRowsLayout(job.layout)) return WriteWholeRows(job, filter, files);
    const OutputFormat format = OutputFormatFromPath(job.path);
    if (format == OutputFormat::kText)
        return ExportRows(*job.rows, filter, job.layout, job.path, files);
    const std::unique_ptr<TableWriter> writer =
        OpenTableWriter(files, job.path, format, CsvEncoding::kGbk);
    const std::size_t written = ExportRowsAsTable(*job.rows, filter, job.layout, *writer);
    writer->Commit();
    return written;
}

}  // namespace haojian
