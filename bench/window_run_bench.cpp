// The main window on the offscreen platform: a whole query run of a million numbers, from the
// Query press to the filled filter boxes, and the start-up to the shown window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QThread>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>

#include "address_opener.h"
#include "application.h"
#include "dialogs.h"
#include "file_system.h"
#include "generated_data.h"
#include "main_window.h"
#include "result_table.h"
#include "test_files.h"

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

// A program directory with a database of 300,000 segments and a list of a million numbers,
// nearly all of them in a segment; made once.
struct Fixture {
    haojian::testing::TempDir dir;
    std::string numbers;

    Fixture() {
        const std::string database = haojian::bench::GenerateDatabaseBytes(300000, 1);
        dir.Write("kelvaronset.dat", database);
        numbers = dir.Write("numbers.txt",
                            haojian::bench::GenerateNumberBytes(database, 1000000, 0.97, 2));
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
    TForm1 window({dialogs, opener, haojian::RealFileSystem(), fixture.dir.path()});
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
            haojian::WindowSeams{dialogs, opener, haojian::RealFileSystem(), fixture.dir.path()});
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
