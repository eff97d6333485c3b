#pragma once

#include <array>
#include <string_view>

namespace haojian {

// One row of a built-in code table: a code and its name, both GBK bytes.
struct CodeRow {
    std::string_view code;
    std::string_view name;
};

// The rows the window holds in its hidden memos; every query run copies them afresh.
extern const std::array<CodeRow, 32> kBuiltInProvinceRows;
extern const std::array<CodeRow, 385> kBuiltInCityRows;

}  // namespace haojian
