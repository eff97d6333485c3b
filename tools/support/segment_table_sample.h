#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace haojian::tools {

// How a made-up segment table looks.
struct TableStyle {
    enum class Encoding { kUtf8, kUtf8WithMark, kGbk };
    Encoding encoding = Encoding::kUtf8;
    char separator = ',';
    // 广东省, 广州市, 中国移动 rather than 广东, 广州, 移动.
    bool official_names = false;
};

// A segment table in the style of the ones commonly published, made from the lines of a
// database (its bytes): the header "id,pref,phone,province,city,isp,post_code,city_code,
// area_code", then one row for each of rows lines spread evenly over the database (all of them
// when it has fewer), with the names of the lines' codes. A line whose city is in no table
// gets an empty city.
std::string SegmentTableFromDatabase(std::string_view database, std::size_t rows,
                                     const TableStyle& style);

}  // namespace haojian::tools
