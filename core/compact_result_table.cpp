#include "compact_result_table.h"

namespace haojian {

CompactResultTable::CompactResultTable(const TextPool& pool)
    : pool_(pool), numbers_(std::make_shared<const LineList>()) {}

ResultRowView CompactResultTable::Row(std::size_t index) const {
    const Ids& ids = rows_[index];
    return {(*numbers_)[index], pool_.Text(ids.province), pool_.Text(ids.city),
            pool_.Text(ids.card_type)};
}

void CompactResultTable::Reset(std::shared_ptr<const LineList> numbers) {
    rows_.clear();
    rows_.shrink_to_fit();
    numbers_ = std::move(numbers);
}

std::size_t CompactResultTable::OverheadBytes() const {
    return rows_.capacity() * sizeof(Ids) + numbers_->OverheadBytes();
}

}  // namespace haojian
