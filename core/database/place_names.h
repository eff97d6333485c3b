#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/lookup/built_in_code_rows.h"

namespace haojian {

// How a place such as "广东省广州市", "新疆伊犁哈萨克自治州" or the pair ("广东", "广州") lands in
// the code tables.
struct PlacePlacement {
    enum class Kind {
        City,          // a city of the table: code is its code
        UnlistedCity,  // a province of the table, a city it lacks: code is province code + "99"
        NoProvince,    // no province of the table: code is empty
    };
    Kind kind = Kind::NoProvince;
    std::string code;
};

// The city code of a place the table lacks: its province's code followed by this. No table
// code ends in it, so such a line resolves its province and gives 未知 for its city.
inline constexpr std::string_view kUnlistedCitySuffix = "99";

// Maps UTF-8 place names to the four-digit city codes of the built-in tables by name. Official
// suffixes (省, 市, 自治区, 地区, 盟, 自治州 with the peoples before it, ...) are dropped, and
// cities renamed since the table was made are found under their old names. A municipality is
// its own city (北京市 gives 0100); 重庆 gives 0400, the code that the three other
// municipalities mirror, except for the districts that only rows of province 13 list (万州区
// gives 1303).
class PlaceNameMap {
public:
    // The rows hold GBK names.
    PlaceNameMap(std::span<const CodeRow> provinces, std::span<const CodeRow> cities);

    // A description: a province's name, then a city's, as one text.
    PlacePlacement Place(std::string_view description) const;
    // A province and a city given apart, as segment tables list them: the province text is a
    // province's name as a whole; the city text names one of its cities (it may repeat the
    // province's name in front). An empty or unknown city keeps the place at province level.
    PlacePlacement Place(std::string_view province, std::string_view city) const;

private:
    struct Name {
        std::string text;  // UTF-8
        std::string code;
    };
    // The province whose name form (name and suffix) begins text, the longest one, with the
    // form's length; with whole, the form must be all of text. Null when there is none.
    std::pair<const Name*, std::size_t> FindProvince(std::string_view text, bool whole) const;
    // The city of province that rest names, or the province level when it names none.
    PlacePlacement PlaceCity(const Name& province, std::string_view rest) const;

    std::vector<Name> provinces_;
    std::vector<Name> cities_;
};

// The map of the built-in code tables.
PlaceNameMap BuiltInPlaceNameMap();

}  // namespace haojian
