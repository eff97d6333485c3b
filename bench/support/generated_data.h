#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace haojian::bench {

// A segment database of `lines` lines in the file's layout, CR LF ended: ascending seven-digit
// segments under the mobile heads 13x to 19x, a city code of the built-in table and a card-type
// digit each.
std::string GenerateDatabaseBytes(std::size_t lines, std::uint32_t seed);

// `count` eleven-digit numbers as an imported file's bytes, CR LF ended: the share `matched` of
// them in a segment of database_bytes, the rest random after a "1".
std::string GenerateNumberBytes(const std::string& database_bytes, std::size_t count,
                                double matched, std::uint32_t seed);

}  // namespace haojian::bench
