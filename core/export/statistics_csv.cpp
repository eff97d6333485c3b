#include "core/export/statistics_csv.h"

#include <string_view>

#include "core/base/error.h"
#include "core/export/export.h"
#include "core/table/csv_writer.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

// Quoted only for a comma, a quote or a line end; unlike a table's cells, spaces at either end
// stay bare.
void AppendField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
    } else {
        AppendQuotedCsvField(out, field);
    }
}

void AppendTable(std::string& out, std::string_view title, const FieldCounts& counts) {
    // The CSV file is UTF-8, so its own texts are written as UTF-8.
    out += title;
    out += ",\xE6\x95\xB0\xE9\x87\x8F,\xE5\x8D\xA0\xE6\xAF\x94\r\n";  // ,数量,占比
    for (const NameCount& name : counts.names) {
        AppendField(out, Utf8FromGbk(name.name));
        out += ',';
        out += std::to_string(name.count);
        out += ',';
        out += counts.PercentText(name.count);
        out += "\r\n";
    }
}

}  // namespace

std::string StatisticsCsv(const RowStatistics& stats) {
    std::string out = "\xEF\xBB\xBF";
    AppendTable(out, "\xE7\x9C\x81\xE4\xBB\xBD", stats.provinces);  // 省份
    out += "\r\n";
    AppendTable(out, "\xE5\x9F\x8E\xE5\xB8\x82", stats.cities);  // 城市
    out += "\r\n";
    AppendTable(out, "\xE5\x8D\xA1\xE7\xB1\xBB", stats.card_types);  // 卡类
    return out;
}

void SaveStatisticsCsv(const RowStatistics& stats, const std::string& path, FileSystem& fs) {
    const std::string text = StatisticsCsv(stats);
    ReplacementFile file(fs, path);
    file.file().Write(text);
    file.Commit();
}

}  // namespace haojian
