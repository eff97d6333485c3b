#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace haojian {

// The rows of one table as its reader pulls them, one at a time.
class RowSource {
public:
    virtual ~RowSource() = default;
    // The next row's cells (GBK) into cells, replacing what they held, and its 1-based number.
    // False at the end. Throws TableError or FileError.
    virtual bool Next(std::vector<std::string>& cells, std::uint64_t& number) = 0;
};

}  // namespace haojian
