// Export of 1,000,000 result rows to a file, bytes written per second; and of a list of
// 1,000,000 numbers looked up on the way, on one thread and on all.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/bench_data.h"
#include "bench/support/generated_data.h"
#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/export/export.h"
#include "core/export/list_export.h"
#include "core/lookup/code_table.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "core/threads/chunk_pipeline.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

class Rows final : public ResultTable {
public:
    explicit Rows(std::size_t count) {
        const std::string numbers = bench::DigitLines(count, count, 3);
        numbers_.reserve(count);
        for (std::size_t start = 0; start < numbers.size(); start += 12) {
            numbers_.push_back(numbers.substr(start, 11));
        }
        cities_ = {GbkFromUtf8("南京"), GbkFromUtf8("乌鲁木齐"), GbkFromUtf8("重庆")};
    }
    std::size_t size() const override { return numbers_.size(); }
    ResultRowView Row(std::size_t i) const override {
        return {numbers_[i], text::kUnknown, cities_[i % 3], text::kCardMobile};
    }

private:
    std::vector<std::string> numbers_;
    std::vector<std::string> cities_;
};

void BM_ExportRows(benchmark::State& state, std::string_view layout) {
    static const Rows rows(1000000);
    const testing::TempDir dir;
    const std::string path = dir.path() + "export.txt";
    std::size_t lines = 0;
    for (auto _ : state) lines = ExportRows(rows, {}, layout, path);
    const auto bytes = std::filesystem::file_size(path);
    state.SetBytesProcessed(std::int64_t(bytes) * state.iterations());
    state.counters["lines"] = double(lines);
}

// Looks up and exports a list of numbers against a database of 300,000 lines.
void BM_NumberListExport(benchmark::State& state) {
    static const std::string segments = bench::GenerateDatabaseBytes(300000, 5);
    static const SegmentDatabase database = SegmentDatabase::FromBytes(segments);
    static const std::string list = bench::GenerateNumberBytes(segments, 1000000, 0.9, 6);
    CodeTables tables;
    ReloadCodeTables(tables);
    const testing::TempDir dir;
    const std::string path = dir.path() + "export.txt";
    std::size_t lines = 0;
    for (auto _ : state) {
        NumberListExport exporter(database, tables, DefaultCollation(), {},
                                  text::kLayoutNumberCityCard, path, RealFileSystem(),
                                  unsigned(state.range(0)));
        exporter.Add(list);
        lines = exporter.Commit();
    }
    state.SetItemsProcessed(std::int64_t(lines) * state.iterations());
    state.counters["threads"] = double(ChunkThreads(unsigned(state.range(0))));
}

BENCHMARK(BM_NumberListExport)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ExportRows, number, text::kLayoutNumber)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportRows, number_city_card, text::kLayoutNumberCityCard)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace haojian

BENCHMARK_MAIN();
