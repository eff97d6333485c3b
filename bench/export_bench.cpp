// Export of 1,000,000 result rows to a file: bytes written per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench_data.h"
#include "export.h"
#include "fixed_texts.h"
#include "gbk.h"
#include "test_files.h"

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

BENCHMARK_CAPTURE(BM_ExportRows, number, text::kLayoutNumber)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportRows, number_city_card, text::kLayoutNumberCityCard)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace haojian

BENCHMARK_MAIN();
