#include "core/export/row_statistics.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <unordered_map>

#include "core/collation/collation.h"

namespace haojian {
namespace {

// Counts one field. Rows mostly share the storage of their texts (a pool of names, the lines
// of the database), so a small cache indexed by a text's address finds its counter without
// hashing the text; a hit is still checked byte for byte, so rows whose texts live anywhere
// are counted right.
class FieldCounter {
public:
    void Add(std::string_view name) {
        const auto address = reinterpret_cast<std::uintptr_t>(name.data());
        Slot& slot = slots_[((address >> 3) ^ (address >> 12) ^ name.size()) % kSlots];
        if (slot.count == nullptr || slot.name != name) {
            const auto counted = counts_.try_emplace(std::string(name), 0).first;
            slot = {counted->first, &counted->second};
        }
        ++*slot.count;
    }

    FieldCounts Sorted(std::size_t total, const LocaleCollation& collation) const {
        FieldCounts result;
        result.total = total;
        result.names.reserve(counts_.size());
        for (const auto& [name, count] : counts_) result.names.push_back({name, count});
        std::sort(result.names.begin(), result.names.end(),
                  [&](const NameCount& a, const NameCount& b) {
                      if (a.count != b.count) return a.count > b.count;
                      const int order = collation.Compare(a.name, b.name);
                      return order != 0 ? order < 0 : a.name < b.name;
                  });
        return result;
    }

private:
    static constexpr std::size_t kSlots = 1021;
    struct Slot {
        std::string_view name;  // the key in counts_, whose nodes never move
        std::size_t* count = nullptr;
    };
    std::unordered_map<std::string, std::size_t> counts_;
    std::array<Slot, kSlots> slots_{};
};

}  // namespace

std::string PercentText(double percent) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%%", percent);
    return text;
}

std::string FieldCounts::PercentText(std::size_t count) const {
    return haojian::PercentText(Percent(count));
}

RowStatistics CountRows(const ResultTable& rows, const LocaleCollation& collation,
                        std::size_t row_count) {
    const std::size_t n = std::min(row_count, rows.size());
    FieldCounter provinces;
    FieldCounter cities;
    FieldCounter card_types;
    for (std::size_t i = 0; i < n; ++i) {
        const ResultRowView row = rows.Row(i);
        provinces.Add(row.province);
        cities.Add(row.city);
        card_types.Add(row.card_type);
    }
    return {provinces.Sorted(n, collation), cities.Sorted(n, collation),
            card_types.Sorted(n, collation)};
}

}  // namespace haojian
