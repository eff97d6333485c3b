#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace haojian {

// A segment table as such tables are commonly published: comma- or tab-separated text, UTF-8
// (with or without a byte-order mark), UTF-16 with a mark, or GBK; a header row naming the
// columns, then one segment per row. Fields may be quoted ("a,b", with "" for a quote).
//
// Recognised header names (Latin letters in any case):
//   segment prefix: phone, prefix, segment, 号段, 号码段, 手机号段
//   province:       province, 省份, 省
//   city:           city, 城市, 市, 地市 (optional)
//   carrier:        isp, carrier, operator, 运营商, 卡类, 卡类型
// Other columns are ignored. When several columns could hold the prefix (a "prefix" column of
// three digits beside a "phone" column of seven), the one with the most seven-digit values in
// the first thousand rows is taken, the first named of equals. A quoted field may hold
// separators and line breaks; a row begins on the line it is numbered by.
struct SegmentTable {
    enum class Encoding { kUtf8, kUtf8WithMark, kUtf16, kGbk };
    struct Row {
        std::size_t line = 0;  // 1-based line of the table
        // UTF-8, with the spaces around them and their quotes removed. A row too short for a
        // column gives an empty field and complete false.
        std::string prefix;
        std::string province;
        std::string city;
        std::string carrier;
        bool complete = true;
    };

    Encoding encoding = Encoding::kUtf8;
    char separator = ',';
    std::size_t rows = 0;  // empty lines are no rows
};

// Reads a table's bytes and hands each row, in table order, to sink. Throws Error when the
// text holds a NUL byte or its header row names no column of the segment prefix, the province
// or the carrier (before any row is handed on).
SegmentTable ReadSegmentTable(std::string_view bytes,
                              const std::function<void(const SegmentTable::Row&)>& sink);

// The encoding's name for a report: "UTF-8", "UTF-8 with byte-order mark", "UTF-16", "GBK".
std::string_view EncodingName(SegmentTable::Encoding encoding);

}  // namespace haojian
