#include "run_test_data.h"

#include "code_table.h"
#include "collation.h"
#include "number_lookup.h"

namespace haojian::testing {

SegmentDatabase SmallDatabase() {
    return SegmentDatabase::FromBytes(
        "138000005011\r\n"
        "139000004002\r\n"
        "139111113013\r\n"
        "13922229999X\r\n"
        "13933330701\r\n");
}

const std::vector<std::string> kSampleNumbers = {
    "13800001234",  "13900005678", "13911110000", "13922221111", "13933334444", "15000001111", "",
    " 13800001234", "abc",         "13800009999"};

RowTexts ExpectedRow(const SegmentDatabase& database, std::string_view number) {
    CodeTables tables;
    ReloadCodeTables(tables);
    const LookupResult r = ResolveNumber(number, database, tables, DefaultCollation());
    return {std::string(number), std::string(r.province), std::string(r.city),
            std::string(r.card_type)};
}

}  // namespace haojian::testing
