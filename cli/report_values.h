#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace haojian::cli {

// The longest value a report shows whole, in bytes.
inline constexpr std::size_t kShownValueBytes = 60;

// A value (UTF-8, or any bytes) for a line of a report, made safe as Printable makes it; one
// longer than kShownValueBytes is cut at a character's end and marked, with its length:
// "1380013,江苏,南京,…[200000 bytes]".
std::string ShownValue(std::string_view value);

// A count with its word in the number it takes: "1 row", "2 rows", "0 rows".
std::string Counted(std::uint64_t count, std::string_view one, std::string_view many);

}  // namespace haojian::cli
