// The line rule: ForEachLine and LineList against a plain character-by-character splitter.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/line_list.h"
#include "tests/support/reference_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> expected = haojian::testing::ReferenceLines(text);

    std::vector<std::string> seen;
    haojian::ForEachLine(text, [&](std::string_view line) {
        // Every line is a view into the text, never a copy.
        if (line.data() < text.data() || line.data() + line.size() > text.data() + text.size()) {
            std::abort();
        }
        seen.emplace_back(line);
    });
    if (seen != expected) std::abort();

    const haojian::LineList list = haojian::LineList::FromBytes(std::string(text));
    if (list.size() != expected.size()) std::abort();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] != expected[i]) std::abort();
    }
    return 0;
}
