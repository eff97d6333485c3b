#include "core/run/compact_result_table.h"

#include <string_view>

namespace haojian {
namespace {

// The rows [0, count) of a table's storage and the texts their ids name, as they were when it
// was taken. Reads only memory that the table never writes again.
class CompactRowsSnapshot final : public ResultTable {
public:
    using Ids = CompactResultTable::Ids;
    CompactRowsSnapshot(std::shared_ptr<const void> storage, const Ids* rows, std::size_t count,
                        std::shared_ptr<const LineList> numbers,
                        std::vector<std::string_view> texts)
        : storage_(std::move(storage)),
          rows_(rows),
          count_(count),
          numbers_(std::move(numbers)),
          texts_(std::move(texts)) {}

    std::size_t size() const override { return count_; }
    ResultRowView Row(std::size_t index) const override {
        const Ids& ids = rows_[index];
        return {(*numbers_)[index], texts_[ids.province], texts_[ids.city], texts_[ids.card_type]};
    }

private:
    std::shared_ptr<const void> storage_;
    const Ids* rows_;
    std::size_t count_;
    std::shared_ptr<const LineList> numbers_;
    std::vector<std::string_view> texts_;
};

}  // namespace

CompactResultTable::CompactResultTable(const TextPool& pool)
    : pool_(pool),
      numbers_(std::make_shared<const LineList>()),
      rows_(std::make_shared<std::vector<Ids>>()) {}

ResultRowView CompactResultTable::Row(std::size_t index) const {
    const Ids& ids = (*rows_)[index];
    return {(*numbers_)[index], pool_.Text(ids.province), pool_.Text(ids.city),
            pool_.Text(ids.card_type)};
}

void CompactResultTable::Reset(std::shared_ptr<const LineList> numbers) {
    // New storage: a snapshot may still read the old one.
    rows_ = std::make_shared<std::vector<Ids>>();
    numbers_ = std::move(numbers);
}

void CompactResultTable::Reserve(std::size_t size) {
    if (rows_->capacity() >= size) return;
    auto bigger = std::make_shared<std::vector<Ids>>();
    bigger->reserve(size);
    bigger->assign(rows_->begin(), rows_->end());
    rows_ = std::move(bigger);
}

std::unique_ptr<ResultTable> CompactResultTable::Snapshot() const {
    std::vector<std::string_view> texts;
    texts.reserve(pool_.size());
    for (std::uint32_t id = 0; id < pool_.size(); ++id) texts.push_back(pool_.Text(id));
    return std::make_unique<CompactRowsSnapshot>(rows_, rows_->data(), rows_->size(), numbers_,
                                                 std::move(texts));
}

std::size_t CompactResultTable::OverheadBytes() const {
    return rows_->capacity() * sizeof(Ids) + numbers_->OverheadBytes();
}

}  // namespace haojian
