#include "tests/shell/support/window_harness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "core/run/query_run.h"
#include "shell/gbk_text.h"

namespace haojian::testing {

const char kTestDatabase[] =
    "138001005011\r\n"
    "133000013013\r\n"
    "189000001002\r\n"
    "170000032014\r\n";

QStringList FakeDialogs::ChooseFiles(QWidget*, const FileRequest& request) {
    file_requests.push_back(request);
    if (file_answers.empty()) return {};
    QStringList answer = file_answers.front();
    file_answers.pop_front();
    return answer;
}

std::optional<std::size_t> FakeDialogs::ChooseFromList(QWidget*, const ListChoice& choice) {
    lists.push_back(choice);
    if (list_answers.empty()) return choice.preselected;
    const std::optional<std::size_t> answer = list_answers.front();
    list_answers.pop_front();
    return answer;
}

Answer FakeDialogs::ShowBox(QWidget*, const BoxRequest& request) {
    boxes.push_back(request);
    if (on_box) on_box(request);
    if (request.kind != BoxKind::Confirm) return Answer::Ok;
    if (confirm_answers.empty()) return Answer::Yes;
    const Answer answer = confirm_answers.front();
    confirm_answers.pop_front();
    return answer;
}

QString FakeDialogs::ChooseFolder(QWidget*, const QString& title, const QString&) {
    folder_titles.push_back(title);
    if (folder_answers.empty()) return {};
    QString answer = folder_answers.front();
    folder_answers.pop_front();
    return answer;
}

std::optional<SplitExportChoice> FakeDialogs::ChooseSplitExport(QWidget*,
                                                                const SplitExportChoice&) {
    if (split_answers.empty()) return std::nullopt;
    const std::optional<SplitExportChoice> answer = split_answers.front();
    split_answers.pop_front();
    return answer;
}

std::vector<BoxRequest> FakeDialogs::BoxesOf(BoxKind kind) const {
    std::vector<BoxRequest> found;
    for (const BoxRequest& box : boxes) {
        if (box.kind == kind) found.push_back(box);
    }
    return found;
}

WindowHarness::WindowHarness(std::optional<std::string> database) {
    if (database) dir.Write("kelvaronset.dat", *database);
}

WindowHarness::~WindowHarness() = default;

TForm1& WindowHarness::Open(FileSystem& files) {
    window_ = std::make_unique<TForm1>(WindowSeams{dialogs, opener, files, dir.path()});
    return *window_;
}

void WindowHarness::Press(const QString& name) {
    Button(name)->click();
}

QStringList WindowHarness::Items(const QString& combo) {
    QStringList items;
    QComboBox* box = Box(combo);
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

std::string WindowHarness::Import(const std::string& bytes, const std::string& name) {
    const std::string path = dir.Write(name, bytes);
    dialogs.file_answers.push_back({QString::fromStdString(path)});
    Press(QStringLiteral("SpeedButton4"));
    return path;
}

bool WindowHarness::WaitForWorker(int timeout_ms) {
    return PumpUntil([this] { return !window_->Run().WorkerAlive(); }, timeout_ms);
}

bool WindowHarness::WaitUntilIdle(int timeout_ms) {
    return PumpUntil([this] { return !window_->Busy(); }, timeout_ms);
}

bool WindowHarness::QueryToEnd() {
    Press(QStringLiteral("SpeedButton2"));
    if (!WaitForWorker()) return false;
    window_->Timer1Timer();
    return true;
}

QStringList WindowHarness::Errors() const {
    QStringList texts;
    for (const BoxRequest& box : dialogs.BoxesOf(BoxKind::Error)) texts << box.text;
    return texts;
}

bool PumpUntil(const std::function<bool()>& done, int timeout_ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

}  // namespace haojian::testing
