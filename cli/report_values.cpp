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

}  // namespace haojian::cli
