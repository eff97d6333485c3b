// One number list looked up three ways against the shipped database: our indexed look-up, the
// plain first-match scan (on a sample of the list) and libphonenumber's offline geocoder,
// which parses each number and describes it.
//
//   geocoder_bench [--db=FILE] [--numbers=FILE] [benchmark flags]
//
// The database defaults to kelvaronset.dat beside the program; without a list, 1,000,000
// numbers are generated, nine in ten in segments of the database.
#include <benchmark/benchmark.h>
#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
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

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberOfflineGeocoder;
using i18n::phonenumbers::PhoneNumberUtil;

constexpr std::size_t kGeneratedNumbers = 1000000;
constexpr std::size_t kReferenceSample = 500;

struct Inputs {
    SegmentDatabase database;
    std::vector<std::string> database_lines;  // for the reference scan
    LineList numbers;
    CodeTables tables;
};

Inputs LoadInputs(const std::string& db_path, const std::string& numbers_path) {
    Inputs in;
    const std::string db_bytes = ReadWholeFile(RealFileSystem(), db_path);
    in.database = SegmentDatabase::FromBytes(db_bytes);
    for (std::size_t i = 0; i < in.database.size(); ++i) {
        in.database_lines.emplace_back(in.database[i]);
    }
    in.numbers = LineList::FromBytes(
        numbers_path.empty() ? bench::GenerateNumberBytes(db_bytes, kGeneratedNumbers, 0.9, 2)
                             : ReadWholeFile(RealFileSystem(), numbers_path));
    ReloadCodeTables(in.tables);
    return in;
}

// Seconds per number, shown in the counter's unit as time per number.
benchmark::Counter TimePerNumber(std::size_t numbers) {
    return benchmark::Counter(double(numbers), benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
}

void Ours(benchmark::State& state, const Inputs& in) {
    const LocaleCollation& collation = DefaultCollation();
    for (auto _ : state) {
        std::size_t sum = 0;
        for (std::size_t i = 0; i < in.numbers.size(); ++i) {
            const LookupResult r = ResolveNumber(in.numbers[i], in.database, in.tables, collation);
            sum += r.province.size() + r.city.size() + r.card_type.size();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["time_per_number"] = TimePerNumber(in.numbers.size());
}

void ReferenceScan(benchmark::State& state, const Inputs& in) {
    const LocaleCollation& collation = DefaultCollation();
    const std::size_t sample = std::min(kReferenceSample, in.numbers.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < sample; ++i) {
            const testing::ReferenceResult r =
                testing::ReferenceResolve(in.numbers[i], in.database_lines, in.tables, collation);
            benchmark::DoNotOptimize(r.card_type.data());
        }
    }
    state.counters["time_per_number"] = TimePerNumber(sample);
}

void Geocoder(benchmark::State& state, const Inputs& in) {
    const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
    const PhoneNumberOfflineGeocoder geocoder;
    const icu::Locale chinese("zh", "CN");
    for (auto _ : state) {
        std::size_t sum = 0;
        for (std::size_t i = 0; i < in.numbers.size(); ++i) {
            PhoneNumber number;
            if (util.Parse(std::string(in.numbers[i]), "CN", &number) ==
                PhoneNumberUtil::NO_PARSING_ERROR) {
                sum += geocoder.GetDescriptionForNumber(number, chinese).size();
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["time_per_number"] = TimePerNumber(in.numbers.size());
}

}  // namespace
}  // namespace haojian

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string db_path = haojian::ExecutableDirectory() + std::string(haojian::kDatabaseFileName);
    std::string numbers_path;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--db=")) {
            db_path = arg.substr(5);
        } else if (arg.starts_with("--numbers=")) {
            numbers_path = arg.substr(10);
        } else {
            std::fprintf(stderr, "geocoder_bench: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    try {
        const haojian::Inputs inputs = haojian::LoadInputs(db_path, numbers_path);
        benchmark::RegisterBenchmark("BM_Ours", haojian::Ours, std::cref(inputs))
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_ReferenceScan", haojian::ReferenceScan, std::cref(inputs))
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
        benchmark::RegisterBenchmark("BM_Geocoder", haojian::Geocoder, std::cref(inputs))
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "geocoder_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
