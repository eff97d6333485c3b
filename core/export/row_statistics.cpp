#include "core/export/row_statistics.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <unordered_map>

#include "core/collation/collation.h"

namespace haojian {

void FieldCounter::Add(std::string_view name) {
    const auto address = reinterpret_cast<std::uintptr_t>(name.data());
    Slot& slot = slots_[((address >> 3) ^ (address >> 12) ^ name.size()) % kSlots];
    if (slot.count == nullptr || slot.name != name) {
        const auto counted = counts_.try_emplace(std::string(name), 0).first;
        slot = {counted->first, &counted->second};
    }
    ++*slot.count;
}

FieldCounts FieldCounter::Sorted(std::size_t total, const LocaleCollation& collation) const {
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

RowStatistics RowCounter::Sorted(const LocaleCollation& collation) const {
    return {provinces_.Sorted(rows_, collation), cities_.Sorted(rows_, collation),
            card_types_.Sorted(rows_, collation)};
}

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
    RowCounter counter;
    for (std::size_t i = 0; i < n; ++i) {
        const ResultRowView row = rows.Row(i);
        counter.Add(row.province, row.city, row.card_type);
    }
    return counter.Sorted(collation);
}

}  // namespace haojian
