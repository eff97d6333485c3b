#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "built_in_code_rows.h"

namespace haojian::tools {

// How a place description such as "广东省广州市" or "新疆伊犁哈萨克自治州" lands in the code
// tables.
struct PlacePlacement {
    enum class Kind {
        City,          // a city of the table: code is its code
        UnlistedCity,  // a province of the table, a city it lacks: code is province code + "99"
        NoProvince,    // no province of the table begins the description: code is empty
    };
    Kind kind = Kind::NoProvince;
    std::string code;
};

// Maps UTF-8 place descriptions, province first and then city, to the four-digit city codes of
// the built-in tables by name. Official suffixes (省, 市, 自治区, 地区, 盟, 自治州 with the
// peoples before it, ...) are dropped, and cities renamed since the table was made are found
// under their old names. A municipality is its own city (北京市 gives 0100); 重庆 gives 0400,
// the code that the three other municipalities mirror, except for the districts that only rows
// of province 13 list (万州区 gives 1303).
class PlaceNameMap {
public:
    // The rows hold GBK names.
    PlaceNameMap(std::span<const CodeRow> provinces, std::span<const CodeRow> cities);

    PlacePlacement Place(std::string_view description) const;

private:
    struct Name {
        std::string text;  // UTF-8
        std::string code;
    };
    std::vector<Name> provinces_;
    std::vector<Name> cities_;
};

// The map of the built-in code tables.
PlaceNameMap BuiltInPlaceNameMap();

}  // namespace haojian::tools
