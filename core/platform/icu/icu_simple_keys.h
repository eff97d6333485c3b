#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Collator;
U_NAMESPACE_END

namespace haojian {

// The rank codes of SimpleKeyTable for units (folded code units, as texts are compared) under
// collator, by code unit. When ICU cannot tell its contractions and expansions, no unit is
// simple.
std::vector<std::uint16_t> SimpleKeyCodes(const icu::Collator& collator,
                                          std::span<const char16_t> units);

}  // namespace haojian
