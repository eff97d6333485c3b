#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/run/result_table.h"
#include "core/run/text_pool.h"
#include "core/text/line_list.h"

namespace haojian {

// The result rows held compactly. Rows are appended in NumberList order from its first entry,
// so row i is always entry i of the list the table was reset with: a row stores only the pool
// ids of its province, city and card type texts, and its number is read from the list. The
// table shares ownership of that list, so its rows outlive a later failed Import that empties
// NumberList.
class CompactResultTable final : public ResultTable {
public:
    explicit CompactResultTable(const TextPool& pool);

    std::size_t size() const override { return rows_->size(); }
    ResultRowView Row(std::size_t index) const override;

    // Empties the table; its rows will be those of the entries of numbers.
    void Reset(std::shared_ptr<const LineList> numbers);
    // Makes room for every entry of the list, so that appending never reallocates.
    void ReserveAll() { Reserve(numbers_->size()); }
    // Appends the row of entry size(); there must be such an entry.
    void Append(std::uint32_t province, std::uint32_t city, std::uint32_t card_type) {
        if (rows_->size() == rows_->capacity())
            Reserve(std::max<std::size_t>(16, 2 * rows_->size()));
        rows_->push_back({province, city, card_type});
    }

    // The rows there are now, for reading on another thread while this table goes on: later
    // appends, a Reset and a ReserveAll neither change nor release what it reads. Its province,
    // city and card type texts are the pool's, so it must not outlive the pool.
    std::unique_ptr<ResultTable> Snapshot() const;
    // Bytes held for the rows and the list's line bookkeeping, beyond the list's own bytes.
    std::size_t OverheadBytes() const;

    // A row: the pool ids of its texts.
    struct Ids {
        std::uint32_t province;
        std::uint32_t city;
        std::uint32_t card_type;
    };

private:
    // Storage with room for at least size rows. Rows already written are never moved or
    // written again: when more room is needed the rows move to new storage, and snapshots keep
    // the old one.
    void Reserve(std::size_t size);

    const TextPool& pool_;
    std::shared_ptr<const LineList> numbers_;
    std::shared_ptr<std::vector<Ids>> rows_;
};

}  // namespace haojian
