// The main window on the offscreen platform: a whole query run of a million numbers, from the
// Query press to the filled filter boxes, and the start-up to the shown window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QThread>
#include <QToolButton>
#include <QWindow>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "address_opener.h"
#include "application.h"
#include "built_in_code_rows.h"
#include "dialogs.h"
#include "file_system.h"
#include "main_window.h"
#include "result_table.h"

namespace {

using haojian::TForm1;

// Answers every file dialog with one path and every box with Yes.
class BenchDialogs final : public haojian::Dialogs {
public:
    QString path;
    QStringList ChooseFiles(QWidget*, const haojian::FileRequest&) override { return {path}; }
    haojian::Answer ShowBox(QWidget*, const haojian::BoxRequest&) override {
        return haojian::Answer::Yes;
    }
};

class NoOpener final : public haojian::AddressOpener {
public:
    bool Open(const QUrl&) override { return true; }
};

constexpr std::array<const char*, 40> kPrefixes = {
    "130", "131", "132", "133", "134", "135", "136", "137", "138", "139",
    "145", "147", "150", "151", "152", "153", "155", "156", "157", "158",
    "159", "166", "170", "171", "173", "175", "176", "177", "178", "180",
    "181", "182", "183", "184", "185", "186", "187", "188", "189", "199"};

// A program directory with a database of 400,000 segments and a list of a million numbers,
// a few of them in no segment; made once.
struct Fixture {
    std::string directory;
    std::string numbers;

    Fixture() {
        directory = (std::filesystem::temp_directory_path() / "haojian_window_bench/").string();
        std::filesystem::create_directories(directory);
        numbers = directory + "numbers.txt";
        std::mt19937 random(20240601);
        std::ofstream database(directory + "kelvaronset.dat", std::ios::binary);
        char line[32];
        for (const char* prefix : kPrefixes) {
            for (int segment = 0; segment < 10000; ++segment) {
                const auto& city =
                    haojian::kBuiltInCityRows[random() % haojian::kBuiltInCityRows.size()];
                std::snprintf(line, sizeof line, "%s%04d%.*s%d\r\n", prefix, segment,
                              int(city.code.size()), city.code.data(), int(random() % 4) + 1);
                database << line;
            }
        }
        std::ofstream list(numbers, std::ios::binary);
        for (int i = 0; i < 1000000; ++i) {
            const char* prefix = i % 97 == 0 ? "174" : kPrefixes[random() % kPrefixes.size()];
            std::snprintf(line, sizeof line, "%s%08u\r\n", prefix, unsigned(random() % 100000000));
            list << line;
        }
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// Runs the event loop as the program's own loop does, sleeping until events come.
void PumpUntil(const std::function<bool()>& done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void BM_QueryMillionNumbers(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    BenchDialogs dialogs;
    dialogs.path = QString::fromStdString(fixture.numbers);
    NoOpener opener;
    TForm1 window({dialogs, opener, haojian::RealFileSystem(), fixture.directory});
    window.show();
    auto* province = window.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    double run_seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        window.SpeedButton4Click();  // Import
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        window.SpeedButton2Click();  // Query
        PumpUntil([&] { return window.Run().State() == haojian::RunState::Complete; });
        run_seconds += clock.elapsed() / 1000.0;
        PumpUntil([&] { return province->count() > 0; });
        state.PauseTiming();
        province->clear();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(window.Run().Rows().size());
    state.counters["run_s"] = run_seconds / double(state.iterations());
}
BENCHMARK(BM_QueryMillionNumbers)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_StartUpToShownWindow(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    BenchDialogs dialogs;
    NoOpener opener;
    for (auto _ : state) {
        auto window = std::make_unique<TForm1>(
            haojian::WindowSeams{dialogs, opener, haojian::RealFileSystem(), fixture.directory});
        window->show();
        PumpUntil([&] { return window->isVisible() && window->windowHandle()->isExposed(); });
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToShownWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    haojian::SetUpApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
