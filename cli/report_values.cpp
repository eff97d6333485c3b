#include "cli/report_values.h"

#include "cli/messages.h"

namespace haojian::cli {

std::string ShownValue(std::string_view value) {
    if (value.size() <= kShownValueBytes) return Printable(value);
    // Back to the start of the UTF-8 character that the cut would split.
    std::size_t cut = kShownValueBytes;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
    return Printable(value.substr(0, cut)) + "…[" + std::to_string(value.size()) + " bytes]";
}

std::string Counted(std::uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace haojian::cli
