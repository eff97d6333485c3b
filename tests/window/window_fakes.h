#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/fixed_texts.h"
#include "tests/support/run_fakes.h"
#include "window/window_seams.h"

namespace haojian::testing {

// Records what the commands show, as a window would hold it.
class FakeWindowView final : public WindowView, public FakeRunView {
public:
    // The run's part goes to FakeRunView's records.
    void RowsAppended(std::size_t first, std::size_t count) override {
        FakeRunView::RowsAppended(first, count);
    }
    void RowsCleared() override { FakeRunView::RowsCleared(); }
    // The status bar as the window shows it; hides FakeRunView's record of the run's statuses.
    void SetPanelText(int panel, std::string_view text) override {
        panels[panel] = text;
        if (panel == kPanelStatus) statuses.emplace_back(text);
    }
    std::map<int, std::string> panels;
    std::vector<std::string> statuses;  // every text of the status panel, in turn
    void SetProgressMaximum(int maximum) override { FakeRunView::SetProgressMaximum(maximum); }
    void SetProgressPosition(int position) override { FakeRunView::SetProgressPosition(position); }
    void SetCommandEnabled(Command command, bool on) override {
        FakeRunView::SetCommandEnabled(command, on);
    }
    void FillProvinceBox(std::span<const std::string_view> entries) override {
        FakeRunView::FillProvinceBox(entries);
    }
    void FillCityBox(std::span<const std::string_view> entries) override {
        FakeRunView::FillCityBox(entries);
    }
    void SetTimerRunning(bool running) override { FakeRunView::SetTimerRunning(running); }

    std::string FilterText(FilterBox box) const override { return filters.at(box); }
    void SetWorkCommandEnabled(WorkCommand command, bool on) override {
        work_enabled[command] = on;
    }
    void SetBusyPointer(bool busy) override { busy_pointer = busy; }
    void RepaintNow() override { ++repaints; }
    void CloseConfirmed() override { ++closes; }
    void BringBack() override { ++brought_back; }

    std::map<FilterBox, std::string> filters;
    // Every box on its "any" entry, the layout box on layout.
    void FilterAny(std::string_view layout) {
        filters = {{FilterBox::Province, std::string(text::kAnyProvince)},
                   {FilterBox::City, std::string(text::kAnyCity)},
                   {FilterBox::CardType, std::string(text::kAnyCard)},
                   {FilterBox::Layout, std::string(layout)}};
    }
    std::map<WorkCommand, bool> work_enabled{{WorkCommand::Export, true},
                                             {WorkCommand::Merge, true},
                                             {WorkCommand::Exit, true},
                                             {WorkCommand::HomePage, true},
                                             {WorkCommand::About, true}};
    bool busy_pointer = false;
    int repaints = 0;
    int closes = 0;
    int brought_back = 0;
};

// Answers dialogs from queues and records what was asked.
class FakeWindowDialogs final : public WindowDialogs {
public:
    std::vector<std::string> ChooseFiles(const FileChoice& choice) override;
    Answer ShowBox(const MessageBoxRequest& request) override;
    std::optional<std::size_t> ChooseFromList(const ListChoice& choice) override;
    void OpenAddress(std::string_view address) override { opened.emplace_back(address); }
    // The boxes of one kind shown, in order.
    std::vector<MessageBoxRequest> BoxesOf(BoxKind kind) const;
    std::string ChooseFolder(const FolderChoice& choice) override;
    std::optional<SplitExportChoice> ChooseSplitExport(const SplitExportChoice& proposed) override;

    // None queued: cancel, and Yes.
    std::deque<std::vector<std::string>> file_answers;
    std::deque<Answer> confirm_answers;
    // None queued: cancel.
    std::deque<std::string> folder_answers;
    std::deque<std::optional<SplitExportChoice>> split_answers;
    // The rows taken in list dialogs; none queued: the preselected one, as Enter takes it.
    std::deque<std::optional<std::size_t>> list_answers;
    std::vector<ListChoice> lists;
    std::vector<FileChoice> choices;
    std::vector<FolderChoice> folder_choices;
    std::vector<SplitExportChoice> split_proposals;
    std::vector<MessageBoxRequest> boxes;
    std::vector<std::string> opened;
};

// Holds long work until the test runs it, as a thread that has not got to it yet would.
class HeldWork final : public BackgroundWork {
public:
    bool Busy() const override { return static_cast<bool>(done_); }
    void Start(std::function<void()> work, std::function<void(std::exception_ptr)> done) override;
    // The work runs on the test's thread: a step runs at once.
    void Post(std::function<void()> step) override { step(); }
    // Runs the held work, then its done.
    void Finish();

private:
    std::function<void()> work_;
    std::function<void(std::exception_ptr)> done_;
};

}  // namespace haojian::testing
