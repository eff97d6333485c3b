// The look-up against a 300,000-line database: resolving a million numbers, the plain scan on a
// sample of them for comparison, and loading the database with its index.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/generated_data.h"
#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/files/file_system.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"
#include "core/text/line_list.h"
#include "tests/support/reference_lookup.h"

namespace haojian {
namespace {

constexpr std::size_t kDatabaseLines = 300000;
constexpr std::size_t kNumbers = 1000000;
constexpr std::size_t kReferenceSample = 200;

struct Data {
    std::string database_bytes = bench::GenerateDatabaseBytes(kDatabaseLines, 1);
    SegmentDatabase database = SegmentDatabase::FromBytes(database_bytes);
    LineList numbers =
        LineList::FromBytes(bench::GenerateNumberBytes(database_bytes, kNumbers, 0.9, 2));
    CodeTables tables;
    Data() { ReloadCodeTables(tables); }
};

const Data& GetData() {
    static const Data data;
    return data;
}

// Resolves every number once; gives a value that depends on all results.
std::size_t ResolveAll(const Data& data, const LocaleCollation& collation) {
    std::size_t sum = 0;
    for (std::size_t i = 0; i < data.numbers.size(); ++i) {
        const LookupResult r =
            ResolveNumber(data.numbers[i], data.database, data.tables, collation);
        sum += r.province.size() + r.city.size() + r.card_type.size();
    }
    return sum;
}

void BM_ResolveNumber(benchmark::State& state) {
    const Data& data = GetData();
    const LocaleCollation& collation = DefaultCollation();
    for (auto _ : state) benchmark::DoNotOptimize(ResolveAll(data, collation));
    state.counters["time_per_number"] =
        benchmark::Counter(double(kNumbers), benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
}
BENCHMARK(BM_ResolveNumber)->Unit(benchmark::kMillisecond);

// The plain first-match scan on the first numbers of the same list, and the speed-up of the
// indexed look-up over it, both measured here.
void BM_ReferenceScan(benchmark::State& state) {
    const Data& data = GetData();
    const LocaleCollation& collation = DefaultCollation();
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < data.database.size(); ++i) lines.emplace_back(data.database[i]);

    benchmark::DoNotOptimize(ResolveAll(data, collation));  // warm
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(ResolveAll(data, collation));
    const double ours_ns =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() /
        double(kNumbers);

    std::size_t scanned = 0;
    const auto reference_start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (std::size_t i = 0; i < kReferenceSample; ++i) {
            const testing::ReferenceResult r =
                testing::ReferenceResolve(data.numbers[i], lines, data.tables, collation);
            benchmark::DoNotOptimize(r.card_type.data());
        }
        scanned += kReferenceSample;
    }
    const double reference_ns =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - reference_start)
            .count() /
        double(scanned);
    state.counters["reference_ns_per_number"] = reference_ns;
    state.counters["ours_ns_per_number"] = ours_ns;
    state.counters["speedup"] = reference_ns / ours_ns;
}
BENCHMARK(BM_ReferenceScan)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reading kelvaronset.dat from a folder, splitting it into lines and building the index.
void BM_LoadSegmentDatabase(benchmark::State& state) {
    const Data& data = GetData();
    std::string pattern =
        (std::filesystem::temp_directory_path() / "haojian-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string directory = pattern + "/";
    std::ofstream(directory + std::string(kDatabaseFileName), std::ios::binary)
        << data.database_bytes;
    std::size_t lines = 0;
    for (auto _ : state) {
        const std::optional<SegmentDatabase> db = LoadSegmentDatabase(RealFileSystem(), directory);
        lines = db ? db->size() : 0;
        benchmark::DoNotOptimize(lines);
    }
    std::filesystem::remove_all(directory);
    if (lines != kDatabaseLines) state.SkipWithError("the database did not load whole");
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_LoadSegmentDatabase)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace haojian

BENCHMARK_MAIN();
