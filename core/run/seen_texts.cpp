#include "core/run/seen_texts.h"

#include <algorithm>

#include "core/collation/collation.h"

namespace haojian {

SeenTexts::SeenTexts(const LocaleCollation& collation) : collation_(collation) {}

void SeenTexts::Clear() {
    sorted_.clear();
    if (++run_ == 0) {
        // The run counter wrapped: forget every mark so that none is taken for this run's.
        std::fill(seen_in_run_.begin(), seen_in_run_.end(), 0);
        run_ = 1;
    }
}

void SeenTexts::Insert(std::uint32_t id, std::string_view text) {
    if (id >= seen_in_run_.size()) seen_in_run_.resize(std::size_t(id) + 1, 0);
    if (seen_in_run_[id] == run_) return;
    seen_in_run_[id] = run_;
    const auto place = std::lower_bound(
        sorted_.begin(), sorted_.end(), text,
        [&](std::string_view a, std::string_view b) { return collation_.Less(a, b); });
    if (place != sorted_.end() && collation_.Equal(*place, text)) return;
    sorted_.insert(place, text);
}

}  // namespace haojian
