#include "core/export/statistics_workbook.h"

#include <array>
#include <string_view>

#include "core/table/workbook_writer.h"
#include "core/text/fixed_texts.h"

namespace haojian {
namespace {

void AddTable(WorkbookWriter& workbook, std::string_view field, const FieldCounts& counts) {
    workbook.StartSheet(field, {std::string(field), std::string(text::kColumnCount),
                                std::string(text::kColumnShare)});
    for (const NameCount& name : counts.names) {
        using Kind = WorkbookCell::Kind;
        const std::array<WorkbookCell, 3> row = {{
            {Kind::kText, name.name, 0},
            {Kind::kNumber, {}, double(name.count)},
            {Kind::kPercent, {}, counts.Percent(name.count) / 100.0},
        }};
        workbook.AddRow(row);
    }
}

}  // namespace

void SaveStatisticsWorkbook(const RowStatistics& stats, const std::string& path, FileSystem& fs) {
    WorkbookWriter workbook(fs, path);
    AddTable(workbook, text::kColumnProvince, stats.provinces);
    if (!stats.provinces.names.empty()) {
        workbook.AddBarChart(text::kColumnProvince, 1, stats.provinces.names.size(), 0, 1, 4);
    }
    AddTable(workbook, text::kColumnCity, stats.cities);
    AddTable(workbook, text::kColumnCard, stats.card_types);
    workbook.Commit();
}

}  // namespace haojian
