#include "row_statistics.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "collation.h"

namespace haojian {
namespace {

// Counts one field. Neighbouring rows often carry the same name, so the last one is kept
// beside its counter: those rows cost a short comparison and no hashing.
class FieldCounter {
public:
    void Add(std::string_view name) {
        if (last_count_ == nullptr || name != last_) {
            last_.assign(name);
            last_count_ = &counts_[last_];
        }
        ++*last_count_;
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
    std::unordered_map<std::string, std::size_t> counts_;
    std::string last_;
    std::size_t* last_count_ = nullptr;
};

}  // namespace

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
