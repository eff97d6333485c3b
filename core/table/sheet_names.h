#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

namespace haojian {

// The most rows a sheet holds.
inline constexpr std::size_t kSheetRows = 1'048'576;

// Names for a workbook's sheets, as UTF-8: what a spreadsheet program accepts (1 to 31
// characters, none of []:*?/\, no apostrophe first or last, not "History") and distinct from
// every name given before, letter case ignored.
class SheetNames {
public:
    // The name for the part-th sheet (from 1) of the rows of value (GBK): value itself for the
    // first, then "value (2)", "value (3)"... Characters a sheet name may not hold become "_",
    // a value too long is shortened to leave room for the part's mark, and a name already
    // given gets a further mark " (n)".
    std::string Take(std::string_view value, std::size_t part = 1);

private:
    bool Given(const std::string& name) const;
    std::set<std::string> given_;  // folded to lower case
};

}  // namespace haojian
