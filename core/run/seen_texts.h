#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace haojian {

class LocaleCollation;

// The distinct texts of one run in the comparison's order, such as the provinces or the cities
// of the entries resolved since the last Query. A text equal under the comparison to one
// already held is not added: the first inserted stands for its equals.
//
// Texts are named by their TextPool id. Only the first sight of an id in a run costs a search
// with the collation; later sights are one array look-up.
class SeenTexts {
public:
    explicit SeenTexts(const LocaleCollation& collation);

    // Empties the list for a new run.
    void Clear();
    // text is the pool's text of id; it must stay valid while the list holds it.
    void Insert(std::uint32_t id, std::string_view text);
    const std::vector<std::string_view>& Texts() const { return sorted_; }

private:
    const LocaleCollation& collation_;
    std::vector<std::string_view> sorted_;
    // Per id, the run in which it was last seen.
    std::vector<std::uint32_t> seen_in_run_;
    std::uint32_t run_ = 1;
};

}  // namespace haojian
