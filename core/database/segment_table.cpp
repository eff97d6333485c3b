#include "core/database/segment_table.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/base/error.h"
#include "core/text/digits.h"
#include "core/text/gbk.h"
#include "core/text/line_list.h"
#include "core/text/text_encoding.h"

namespace haojian {
namespace {

using Names = std::array<std::string_view, 6>;
constexpr Names kPrefixNames = {"phone", "prefix", "segment", "号段", "号码段", "手机号段"};
constexpr Names kProvinceNames = {"province", "省份", "省"};
constexpr Names kCityNames = {"city", "城市", "市", "地市"};
constexpr Names kCarrierNames = {"isp", "carrier", "operator", "运营商", "卡类", "卡类型"};

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

// The fields of one line: split at separator outside quotes, trimmed, quotes removed. Fills
// fields, reusing the storage it has.
void SplitFields(std::string_view line, char separator, std::vector<std::string>& fields) {
    std::size_t count = 0;
    std::size_t i = 0;
    for (;;) {
        if (fields.size() == count) fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        while (i < line.size() && line[i] == ' ') ++i;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field.push_back(line[i++]);
            }
            const std::size_t end = std::min(line.find(separator, i), line.size());
            field += Trimmed(line.substr(i, end - i));
            i = end;
        } else {
            const std::size_t end = std::min(line.find(separator, i), line.size());
            field = Trimmed(line.substr(i, end - i));
            i = end;
        }
        if (i >= line.size()) {
            fields.resize(count);
            return;
        }
        ++i;  // the separator
    }
}

std::string Lowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return lower;
}

// The columns of header whose name is one of names, in header order.
std::vector<std::size_t> ColumnsNamed(const std::vector<std::string>& header, const Names& names) {
    std::vector<std::size_t> columns;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string name = Lowered(header[i]);
        if (std::find(names.begin(), names.end(), name) != names.end()) columns.push_back(i);
    }
    return columns;
}

std::string NamesList(const Names& names) {
    std::string list;
    for (const std::string_view name : names) {
        if (name.empty()) continue;
        if (!list.empty()) list += ", ";
        list += name;
    }
    return list;
}

// The text as UTF-8, and its encoding.
std::string Decoded(std::string_view bytes, SegmentTable::Encoding& encoding) {
    const ByteOrderMark mark = FindByteOrderMark(bytes);
    const std::string_view body = bytes.substr(ByteOrderMarkSize(mark));
    switch (mark) {
        case ByteOrderMark::kUtf8:
            encoding = SegmentTable::Encoding::kUtf8WithMark;
            return std::string(body);
        case ByteOrderMark::kUtf16LittleEndian:
        case ByteOrderMark::kUtf16BigEndian:
            encoding = SegmentTable::Encoding::kUtf16;
            return Utf8FromUtf16(Utf16FromBytes(body, mark == ByteOrderMark::kUtf16BigEndian));
        case ByteOrderMark::kNone:
            break;
    }
    if (IsValidUtf8(body)) {
        encoding = SegmentTable::Encoding::kUtf8;
        return std::string(body);
    }
    encoding = SegmentTable::Encoding::kGbk;
    return Utf8FromGbk(body);
}

}  // namespace

SegmentTable ReadSegmentTable(std::string_view bytes,
                              const std::function<void(const SegmentTable::Row&)>& sink) {
    SegmentTable table;
    const std::string text = Decoded(bytes, table.encoding);
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
        throw Error("The table holds a NUL byte (character " + std::to_string(nul + 1) + ")");
    }

    std::size_t line_number = 0;
    std::optional<std::vector<std::string>> header;
    std::vector<std::size_t> prefix_columns;
    std::optional<std::size_t> province, city, carrier, prefix;
    std::vector<std::string> fields;
    SegmentTable::Row row;
    ForEachLine(text, [&](std::string_view line) {
        ++line_number;
        if (Trimmed(line).empty()) return;
        if (!header) {
            table.separator = line.find('\t') != std::string_view::npos ? '\t' : ',';
            header.emplace();
            SplitFields(line, table.separator, *header);
            prefix_columns = ColumnsNamed(*header, kPrefixNames);
            const auto first = [&](const Names& names) -> std::optional<std::size_t> {
                const std::vector<std::size_t> columns = ColumnsNamed(*header, names);
                if (columns.empty()) return std::nullopt;
                return columns.front();
            };
            province = first(kProvinceNames);
            city = first(kCityNames);
            carrier = first(kCarrierNames);
            const auto require = [](bool found, std::string_view what, const Names& names) {
                if (!found) {
                    throw Error(GbkFromUtf8("The header row names no column of the " +
                                            std::string(what) + " (one of " + NamesList(names) +
                                            ")"));
                }
            };
            require(!prefix_columns.empty(), "segment prefix", kPrefixNames);
            require(province.has_value(), "province", kProvinceNames);
            require(carrier.has_value(), "carrier", kCarrierNames);
            return;
        }
        SplitFields(line, table.separator, fields);
        if (!prefix) {
            prefix = prefix_columns.front();
            for (const std::size_t column : prefix_columns) {
                if (column < fields.size() && IsDigits(fields[column], 7)) {
                    prefix = column;
                    break;
                }
            }
        }
        row.line = line_number;
        row.complete = true;
        const auto take = [&](std::optional<std::size_t> column, std::string& field) {
            if (*column < fields.size()) {
                field.swap(fields[*column]);
            } else {
                field.clear();
                row.complete = false;
            }
        };
        take(prefix, row.prefix);
        take(province, row.province);
        if (city) take(city, row.city);
        take(carrier, row.carrier);
        ++table.rows;
        sink(row);
    });
    if (!header) throw Error("The table is empty: no header row");
    return table;
}

std::string_view EncodingName(SegmentTable::Encoding encoding) {
    switch (encoding) {
        case SegmentTable::Encoding::kUtf8:
            return "UTF-8";
        case SegmentTable::Encoding::kUtf8WithMark:
            return "UTF-8 with byte-order mark";
        case SegmentTable::Encoding::kUtf16:
            return "UTF-16";
        case SegmentTable::Encoding::kGbk:
            return "GBK";
    }
    return "";
}

}  // namespace haojian
