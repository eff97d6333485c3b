#pragma once

// What the window_* benchmarks share: seams that answer at once, an event pump, and a main that
// runs the benchmarks inside a QApplication on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <functional>
#include <optional>
#include <string_view>

#include "shell/address_opener.h"
#include "shell/application.h"
#include "shell/dialogs.h"
#include "shell/main_window.h"

namespace haojian::bench {

// Answers every file dialog with one path and every box with Yes.
class BenchDialogs final : public Dialogs {
public:
    QString path;
    QStringList ChooseFiles(QWidget*, const FileRequest&) override { return {path}; }
    Answer ShowBox(QWidget*, const BoxRequest&) override { return Answer::Yes; }
    QString ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<SplitExportChoice> ChooseSplitExport(QWidget*,
                                                       const SplitExportChoice&) override {
        return std::nullopt;
    }
};

class NoOpener final : public AddressOpener {
public:
    void OpenAddress(std::string_view) override {}
};

// Runs the event loop as the program's own loop does, sleeping until events come.
inline void PumpUntil(const std::function<bool()>& done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Imports the list the dialogs answer with and runs Query through the window until the run is
// complete, as the user would press the two buttons.
inline void ImportAndQuery(TForm1& window) {
    window.SpeedButton4Click();
    window.SpeedButton2Click();
    PumpUntil([&] { return window.Run().State() == RunState::Complete; });
}

// The benchmarks' main: a QApplication (on the offscreen platform unless one is chosen) with the
// program's application-wide settings, then every benchmark asked for.
inline int RunWindowBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    SetUpApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace haojian::bench
