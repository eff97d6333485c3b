// Snapshots of the result rows read on other threads (as the window's export does) while the
// run appends rows, a new Query reserves room and an Import empties the table.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/export/export.h"
#include "core/run/query_run.h"
#include "core/run/result_table.h"
#include "tests/support/run_fakes.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::RowTexts;

// Reads every row of a snapshot on a thread of its own, and exports them.
struct Reader {
    std::unique_ptr<ResultTable> rows;
    std::vector<RowTexts> seen;
    std::string exported;
    std::thread thread;

    Reader(std::unique_ptr<ResultTable> snapshot, const std::string& path)
        : rows(std::move(snapshot)) {
        thread = std::thread([this, path] {
            for (std::size_t i = 0; i < rows->size(); ++i) {
                const ResultRowView r = rows->Row(i);
                seen.push_back({std::string(r.number), std::string(r.province), std::string(r.city),
                                std::string(r.card_type)});
            }
            ExportRows(*rows, ExportFilter{}, text::kLayoutNumberCityCard, path);
            exported = testing::ReadFileBytes(path);
        });
    }
};

TEST(RowsSnapshot, ReadOnAnotherThreadWhileTheRunAppendsReservesAndImports) {
    const SegmentDatabase database = testing::SmallDatabase();
    std::map<std::string, RowTexts> expected;
    std::vector<std::string> numbers;
    std::string list;
    for (int i = 0; i < 400; ++i) {
        for (const std::string& number : testing::kSampleNumbers) {
            numbers.push_back(number);
            list += number + "\r\n";
        }
    }
    for (const std::string& number : numbers)
        expected[number] = testing::ExpectedRow(database, number);

    testing::TempDir dir;
    const std::string path = dir.Write("numbers.txt", list);
    testing::FakeRunView view;
    testing::FakeWaker waker;
    QueryRun run(view, waker);
    run.SetDatabase(testing::SmallDatabase());
    WorkerOptions options;
    options.max_batch = 37;  // many hand-offs, each a chance to race
    run.SetWorkerOptions(options);
    run.Import(path);

    std::vector<std::unique_ptr<Reader>> readers;
    const auto read_now = [&] {
        const std::string out = dir.path() + "export" + std::to_string(readers.size()) + ".txt";
        readers.push_back(std::make_unique<Reader>(run.RowsSnapshot(), out));
    };
    // Stop halfway and go on, so that a second Query reserves room again under the readers.
    bool stopped = false;
    for (int pass = 0; pass < 2; ++pass) {
        run.Query();
        for (int hand_offs = 0; run.WorkerAlive(); ++hand_offs) {
            const std::uint64_t seen = waker.Wakes();
            run.ProcessHandOff();
            if (hand_offs % 10 == 0) read_now();
            if (!stopped && run.Rows().size() > numbers.size() / 2) {
                run.Stop();
                stopped = true;
            }
            waker.WaitForWakes(seen + 1);
        }
        testing::PumpUntilWorkerEnds(run, waker);
    }
    ASSERT_EQ(run.Rows().size(), numbers.size());
    read_now();
    // An Import empties the table while the last readers may still be reading.
    run.Import(dir.Write("other.txt", "13800001234\r\n"));
    run.Query();
    testing::PumpUntilWorkerEnds(run, waker);

    for (const auto& reader : readers) reader->thread.join();
    ASSERT_GT(readers.size(), 3u);
    EXPECT_EQ(readers.back()->seen.size(), numbers.size());
    for (const auto& reader : readers) {
        std::string lines;
        for (std::size_t i = 0; i < reader->seen.size(); ++i) {
            ASSERT_EQ(reader->seen[i], expected[numbers[i]]) << "row " << i;
            const RowTexts& row = reader->seen[i];
            AppendMaskedNumber(lines, row.number);
            lines += " " + row.city + " " + row.card_type + "\r\n";
        }
        EXPECT_EQ(reader->exported, lines);
    }
}

}  // namespace
}  // namespace haojian
