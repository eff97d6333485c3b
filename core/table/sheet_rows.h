#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/table/row_source.h"
#include "core/table/shared_strings.h"
#include "core/table/xml_stream.h"
#include "core/table/zip_parts.h"

namespace haojian {

// The rows of one sheet of a workbook as a stream: its XML read a block at a time, each cell
// given the text a spreadsheet shows for its stored value (a formula its cached value), cells
// and rows the XML leaves out kept in their places as empty ones.
class SheetRows final : public RowSource {
public:
    // Reads part of zip; strings and date_styles must outlive it.
    SheetRows(ZipParts& zip, const std::string& part, const SharedStrings& strings,
              std::vector<bool> date_styles, bool date1904);
    ~SheetRows() override;

    bool Next(std::vector<std::string>& cells, std::uint64_t& number) override;

private:
    class Handler;
    struct Row {
        std::uint64_t number;
        std::vector<std::string> cells;
    };

    ZipParts& zip_;
    std::unique_ptr<Handler> handler_;
    std::unique_ptr<XmlStream> xml_;
    std::deque<Row> rows_;  // parsed and not yet handed out
    std::string buffer_;
    bool ended_ = false;
    std::uint64_t last_ = 0;  // the number of the last row handed out
};

}  // namespace haojian
