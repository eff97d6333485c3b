#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/table/zip_parts.h"

namespace haojian {

// A workbook's shared strings, held as GBK in one block: cells name them by index. Rich-text
// runs are joined; phonetic guides are left out, as a cell shows none.
class SharedStrings {
public:
    SharedStrings() = default;
    // Reads the part as a stream (nothing when part is empty). Throws TableError.
    SharedStrings(ZipParts& zip, const std::string& part);

    std::size_t size() const { return ends_.size(); }
    // The string at index (the empty text past the end, as a damaged index deserves no crash).
    std::string_view operator[](std::size_t index) const {
        if (index >= ends_.size()) return {};
        const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(texts_).substr(begin, ends_[index] - begin);
    }

private:
    std::string texts_;
    std::vector<std::size_t> ends_;
};

}  // namespace haojian
