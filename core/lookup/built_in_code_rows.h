#pragma once

#include <array>
#include <string_view>

namespace haojian {

// One row of a built-in code table: a code and its name, both GBK bytes.
struct CodeRow {
    std::string_view code;
    std::string_view name;
};

// The province and city code rows (written by tools/gen_fixed_texts.py); every query run fills
// its code tables afresh from them.
extern const std::array<CodeRow, 32> kBuiltInProvinceRows;
extern const std::array<CodeRow, 385> kBuiltInCityRows;

}  // namespace haojian
