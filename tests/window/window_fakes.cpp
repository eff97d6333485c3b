#include "tests/window/window_fakes.h"

#include <utility>

namespace haojian::testing {

std::vector<std::string> FakeWindowDialogs::ChooseFiles(const FileChoice& choice) {
    choices.push_back(choice);
    if (file_answers.empty()) return {};
    std::vector<std::string> answer = std::move(file_answers.front());
    file_answers.pop_front();
    return answer;
}

std::string FakeWindowDialogs::ChooseFolder(const FolderChoice& choice) {
    folder_choices.push_back(choice);
    if (folder_answers.empty()) return {};
    std::string answer = std::move(folder_answers.front());
    folder_answers.pop_front();
    return answer;
}

std::optional<SplitExportChoice> FakeWindowDialogs::ChooseSplitExport(
    const SplitExportChoice& proposed) {
    split_proposals.push_back(proposed);
    if (split_answers.empty()) return std::nullopt;
    const std::optional<SplitExportChoice> answer = split_answers.front();
    split_answers.pop_front();
    return answer;
}

Answer FakeWindowDialogs::ShowBox(const MessageBoxRequest& request) {
    boxes.push_back(request);
    if (request.kind != BoxKind::Confirm) return Answer::Ok;
    if (confirm_answers.empty()) return Answer::Yes;
    const Answer answer = confirm_answers.front();
    confirm_answers.pop_front();
    return answer;
}

std::vector<MessageBoxRequest> FakeWindowDialogs::BoxesOf(BoxKind kind) const {
    std::vector<MessageBoxRequest> found;
    for (const auto& box : boxes)
        if (box.kind == kind) found.push_back(box);
    return found;
}

std::optional<std::size_t> FakeWindowDialogs::ChooseFromList(const ListChoice& choice) {
    lists.push_back(choice);
    if (list_answers.empty()) return choice.preselected;
    const std::optional<std::size_t> answer = list_answers.front();
    list_answers.pop_front();
    return answer;
}

void HeldWork::Start(std::function<void()> work, std::function<void(std::exception_ptr)> done) {
    work_ = std::move(work);
    done_ = std::move(done);
}

void HeldWork::Finish() {
    std::exception_ptr error;
    try {
        // Let go once run, as a thread lets go of its work when it ends.
        std::exchange(work_, nullptr)();
    } catch (...) {
        error = std::current_exception();
    }
    auto done = std::exchange(done_, nullptr);
    done(error);
}

}  // namespace haojian::testing
