#include "core/export/looked_up_rows.h"

#include <vector>

#include "core/text/fixed_texts.h"

namespace haojian {

std::size_t WriteLookedUpRows(TableReader& table, const NumberResolver& resolve,
                              TableWriter& writer, const ExportFilter* filter,
                              const CleanedEntryReport& cleaned) {
    std::size_t written = 0;
    std::vector<std::string_view> cells;
    CleanedNumber number;
    table.ReadRows([&](const TableRow& row) {
        cells.assign(row.cells.begin(), row.cells.end());
        if (row.header) {
            cells.insert(cells.end(),
                         {text::kColumnProvince, text::kColumnCity, text::kColumnCard});
            writer.AddHeader(cells);
            return;
        }
        LookupResult r;
        if (!row.Empty()) {
            number = CleanNumber(row.NumberCell());
            if (cleaned) cleaned(row.NumberCell(), number);
            r = resolve(number.number);
        }
        if (filter && !filter->Passes({r.number, r.province, r.city, r.card_type})) return;
        cells.insert(cells.end(), {r.province, r.city, r.card_type});
        writer.AddRow(cells);
        ++written;
    });
    return written;
}

}  // namespace haojian
