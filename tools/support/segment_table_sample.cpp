#include "tools/support/segment_table_sample.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "core/lookup/built_in_code_rows.h"
#include "core/text/gbk.h"
#include "core/text/line_list.h"

namespace haojian::tools {
namespace {

// The name of code among rows, UTF-8; empty when no row has it.
std::string NameOf(std::span<const CodeRow> rows, std::string_view code) {
    for (const CodeRow& row : rows) {
        if (row.code == code) return Utf8FromGbk(row.name);
    }
    return {};
}

std::string OfficialProvince(const std::string& name, std::string_view code) {
    constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kRegions = {{
        {"内蒙", "内蒙古自治区"},
        {"广西", "广西壮族自治区"},
        {"宁夏", "宁夏回族自治区"},
        {"新疆", "新疆维吾尔自治区"},
        {"西藏", "西藏自治区"},
    }};
    for (const auto& [shortened, official] : kRegions) {
        if (name == shortened) return std::string(official);
    }
    const bool municipality =
        code == "01" || code == "02" || code == "03" || code == "04" || code == "13";
    return name + (municipality ? "市" : "省");
}

std::string Carrier(char digit, bool official) {
    switch (digit) {
        case '1':
            return official ? "中国移动" : "移动";
        case '2':
            return official ? "中国电信" : "电信";
        case '3':
            return official ? "中国联通" : "联通";
        case '4':
            return official ? "虚拟运营商" : "虚拟";
    }
    return std::string(1, digit);
}

}  // namespace

std::string SegmentTableFromDatabase(std::string_view database, std::size_t rows,
                                     const TableStyle& style) {
    std::vector<std::string_view> lines;
    ForEachLine(database, [&](std::string_view line) { lines.push_back(line); });
    const std::size_t count = std::min(rows, lines.size());
    const char sep = style.separator;

    std::string table;
    for (const std::string_view column : {"id", "pref", "phone", "province", "city", "isp",
                                          "post_code", "city_code", "area_code"}) {
        if (!table.empty()) table += sep;
        table += column;
    }
    table += "\r\n";
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view line = lines[i * lines.size() / count];
        const std::string_view city_code = line.substr(7, 4);
        std::string province = NameOf(kBuiltInProvinceRows, line.substr(7, 2));
        std::string city = NameOf(kBuiltInCityRows, city_code);
        if (style.official_names) {
            province = OfficialProvince(province, line.substr(7, 2));
            if (!city.empty()) city += "市";
        }
        table += std::to_string(i + 1) + sep + std::string(line.substr(0, 3)) + sep +
                 std::string(line.substr(0, 7)) + sep + province + sep + city + sep +
                 Carrier(line.size() > 11 ? line[11] : ' ', style.official_names) + sep +
                 std::string(city_code) + "00" + sep + "0" + std::string(city_code.substr(1)) +
                 sep + std::string(city_code) + "00\r\n";
    }
    switch (style.encoding) {
        case TableStyle::Encoding::kUtf8:
            return table;
        case TableStyle::Encoding::kUtf8WithMark:
            return "\xEF\xBB\xBF" + table;
        case TableStyle::Encoding::kGbk:
            return GbkFromUtf8(table);
    }
    return table;
}

}  // namespace haojian::tools
