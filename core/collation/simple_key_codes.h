#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace haojian {

// The rank codes of SimpleKeyTable, by code unit, for the simple units and their primary weights
// as the system wrote them (bytes whose order is the collation's): units of equal weights share
// a code, and codes follow the weights' order. Units left out, and the highest weights once the
// codes are spent, get 0 (not simple).
std::vector<std::uint16_t> RankSimpleKeyCodes(
    std::vector<std::pair<std::string, char16_t>> weighed);

}  // namespace haojian
