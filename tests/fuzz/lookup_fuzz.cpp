// ResolveNumber on a database and numbers carved out of the input, against the plain
// first-match scan.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"
#include "tests/support/reference_lookup.h"

namespace {

using haojian::CodeTables;

const CodeTables& BuiltIn() {
    static const CodeTables tables = [] {
        CodeTables t;
        haojian::ReloadCodeTables(t);
        return t;
    }();
    return tables;
}

const CodeTables& Letters() {
    static const CodeTables tables = [] {
        CodeTables t;
        t.provinces.Assign(haojian::testing::LetterCodeRows());
        t.cities.Assign(haojian::testing::LetterCodeRows());
        return t;
    }();
    return tables;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const CodeTables& tables = input.ConsumeBool() ? Letters() : BuiltIn();
    const std::string bytes = input.ConsumeRandomLengthString(4096);
    const std::vector<std::string> lines = haojian::testing::ReferenceLines(bytes);
    const haojian::SegmentDatabase db = haojian::SegmentDatabase::FromBytes(bytes);
    if (db.size() != lines.size()) std::abort();

    const haojian::LocaleCollation& collation = haojian::DefaultCollation();
    const haojian::NumberResolver resolve(db, tables, collation);
    while (input.remaining_bytes() > 0) {
        std::string number;
        // Often the beginning of a line, so that numbers meet their segments.
        if (!lines.empty() && input.ConsumeBool()) {
            const std::string& line =
                lines[input.ConsumeIntegralInRange<std::size_t>(0, lines.size() - 1)];
            number = line.substr(0, input.ConsumeIntegralInRange<std::size_t>(0, 9));
        }
        number += input.ConsumeRandomLengthString(24);
        const haojian::LookupResult got = haojian::ResolveNumber(number, db, tables, collation);
        const haojian::testing::ReferenceResult want =
            haojian::testing::ReferenceResolve(number, lines, tables, collation);
        if (got.number != want.number || got.province != want.province || got.city != want.city ||
            got.card_type != want.card_type) {
            std::fprintf(stderr, "mismatch for a number of %zu bytes\n", number.size());
            std::abort();
        }
        const haojian::LookupResult fast = resolve(number);
        if (fast.number != got.number || fast.province != got.province || fast.city != got.city ||
            fast.card_type != got.card_type) {
            std::fprintf(stderr, "mismatch for a number of %zu bytes\n", number.size());
            std::abort();
        }
    }
    return 0;
}
