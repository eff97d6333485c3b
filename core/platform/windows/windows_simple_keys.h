#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace haojian {

// The rank codes of SimpleKeyTable for units (folded code units, as texts are compared) under
// the sort keys of locale (a locale name, or LOCALE_NAME_USER_DEFAULT), by code unit. A unit is
// simple when its key is a primary weight and nothing else, and that weight stands unchanged in
// the key of any text around it; where the locale joins ASCII letters into one weight (as some
// European sorts do), no unit is simple.
std::vector<std::uint16_t> WindowsSimpleKeyCodes(const wchar_t* locale,
                                                 std::span<const char16_t> units);

}  // namespace haojian
