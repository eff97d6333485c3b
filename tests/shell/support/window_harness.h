#pragma once

#include <QComboBox>
#include <QLabel>
#include <QStringList>
#include <QToolButton>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/files/file_system.h"
#include "shell/address_opener.h"
#include "shell/dialogs.h"
#include "shell/main_window.h"
#include "tests/support/test_files.h"

namespace haojian::testing {

// Answers the window's dialogs from queues and records what it asked.
class FakeDialogs final : public Dialogs {
public:
    // The next answers of file dialogs; an empty list cancels. None queued: cancel.
    std::deque<QStringList> file_answers;
    // The next answers of confirmation boxes. None queued: Yes.
    std::deque<Answer> confirm_answers;
    std::vector<FileRequest> file_requests;
    std::vector<BoxRequest> boxes;
    // The next answers of folder dialogs and split export dialogs. None queued: cancel.
    std::deque<QString> folder_answers;
    std::deque<std::optional<SplitExportChoice>> split_answers;
    std::vector<QString> folder_titles;
    // The rows taken in list dialogs; none queued: the preselected one, as Enter takes it.
    std::deque<std::optional<std::size_t>> list_answers;
    std::vector<ListChoice> lists;
    // Runs while a box is "open", as the event loop would under a modal box.
    std::function<void(const BoxRequest&)> on_box;

    QStringList ChooseFiles(QWidget* parent, const FileRequest& request) override;
    Answer ShowBox(QWidget* parent, const BoxRequest& request) override;
    QString ChooseFolder(QWidget* parent, const QString& title, const QString& directory) override;
    std::optional<SplitExportChoice> ChooseSplitExport(QWidget* parent,
                                                       const SplitExportChoice& proposed) override;
    std::optional<std::size_t> ChooseFromList(QWidget* parent, const ListChoice& choice) override;

    std::vector<BoxRequest> BoxesOf(BoxKind kind) const;
};

class RecordingOpener final : public AddressOpener {
public:
    std::vector<QUrl> opened;
    void OpenAddress(std::string_view address) override {
        opened.push_back(QUrl(QString::fromUtf8(address.data(), qsizetype(address.size()))));
    }
};

// Database lines: 138 0010 -> 江苏 南京 移动, 133 0000 -> 重庆 重庆 联通, 189 0000 -> 北京 北京
// 电信, 170 0000 -> 西藏 拉萨 虚拟.
extern const char kTestDatabase[];

// A main window whose program directory is a fresh temporary one, holding database when
// given. The window is built by Open, so a test can prepare the directory and the seams first.
class WindowHarness {
public:
    explicit WindowHarness(std::optional<std::string> database = std::string(kTestDatabase));
    ~WindowHarness();

    TForm1& Open(FileSystem& files = RealFileSystem());
    TForm1& window() { return *window_; }

    template <typename T>
    T* Find(const QString& name) {
        return window_->findChild<T*>(name);
    }
    QToolButton* Button(const QString& name) { return Find<QToolButton>(name); }
    QComboBox* Box(const QString& name) { return Find<QComboBox>(name); }
    // Clicks a tool-bar button.
    void Press(const QString& name);
    bool Enabled(const QString& name) { return Button(name)->isEnabled(); }
    QString Status(int panel) { return window_->StatusText(panel); }
    QStringList Items(const QString& combo);

    // Writes bytes to a file in the temporary directory and imports it through the dialog.
    std::string Import(const std::string& bytes, const std::string& name = "numbers.txt");
    // Pumps events until the run's worker has ended and its end report is shown.
    bool WaitForWorker(int timeout_ms = 30000);
    // Pumps events until an export or a merge running off the UI thread has ended.
    bool WaitUntilIdle(int timeout_ms = 30000);
    // Presses Query and waits for the worker; then one timer tick.
    bool QueryToEnd();
    // Error boxes' texts, in order.
    QStringList Errors() const;

    TempDir dir;
    FakeDialogs dialogs;
    RecordingOpener opener;

private:
    std::unique_ptr<TForm1> window_;
};

// Pumps events until done() or timeout_ms passed; gives done().
bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 30000);

}  // namespace haojian::testing
