#pragma once

#include <cstddef>
#include <string_view>

namespace haojian {

// One row of the result table: the number as imported and its three texts.
struct ResultRowView {
    std::string_view number;
    std::string_view province;
    std::string_view city;
    std::string_view card_type;
};

// The rows of the result list in NumberList order. Read on the UI thread only; the run
// appends to it in its hand-offs and Import empties it.
class ResultTable {
public:
    virtual ~ResultTable() = default;
    virtual std::size_t size() const = 0;
    virtual ResultRowView Row(std::size_t index) const = 0;
};

}  // namespace haojian
