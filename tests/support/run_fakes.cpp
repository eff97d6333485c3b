#include "tests/support/run_fakes.h"

#include <chrono>

#include "core/collation/collation.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"
#include "core/run/result_table.h"

namespace haojian::testing {

void FakeRunView::RowsAppended(std::size_t first, std::size_t count) {
    if (first != shown_rows) rows_out_of_order = true;
    shown_rows = first + count;
}

void FakeWaker::Wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakes_;
    }
    woken_.notify_all();
}

bool FakeWaker::WaitForWakes(std::uint64_t count) {
    std::unique_lock lock(mutex_);
    return woken_.wait_for(lock, std::chrono::seconds(20), [&] { return wakes_ >= count; });
}

std::uint64_t FakeWaker::Wakes() const {
    std::lock_guard lock(mutex_);
    return wakes_;
}

void PumpUntilWorkerEnds(QueryRun& run, FakeWaker& waker) {
    for (;;) {
        const std::uint64_t seen = waker.Wakes();
        run.ProcessHandOff();
        if (!run.WorkerAlive()) break;
        waker.WaitForWakes(seen + 1);
    }
    run.ProcessHandOff();  // releases the ended thread
}

SegmentDatabase SmallDatabase() {
    return SegmentDatabase::FromBytes(
        "138000005011\r\n139000004002\r\n139111113013\r\n13922229999X\r\n13933330701\r\n");
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

std::vector<RowTexts> RowsOf(const QueryRun& run) {
    std::vector<RowTexts> rows;
    for (std::size_t i = 0; i < run.Rows().size(); ++i) {
        const ResultRowView r = run.Rows().Row(i);
        rows.push_back({std::string(r.number), std::string(r.province), std::string(r.city),
                        std::string(r.card_type)});
    }
    return rows;
}

}  // namespace haojian::testing
