#include "cli/number_list_text.h"

#include "cli/cli_support.h"
#include "cli/messages.h"

namespace haojian::cli {

NumberListText::NumberListText(const Arguments& args, const std::string& path)
    : path_(InputPath(path)), bytes_(ReadListBytes(args, path)), text_(bytes_) {
    if (const std::size_t nul = text_.find('\0'); nul != std::string_view::npos) {
        text_ = text_.substr(0, nul);
        nul_ = nul;
    }
}

std::string NumberListText::TakeText() {
    bytes_.resize(text_.size());
    text_ = {};
    return std::move(bytes_);
}

void NulCuts::Note(const NumberListText& list) {
    if (!list.nul_offset()) return;
    messages_.push_back(QuotedPath(list.path()) + " holds a NUL byte at offset " +
                        std::to_string(*list.nul_offset()) + ": the list ends there");
}

bool NulCuts::Report(std::string_view command) const {
    for (const std::string& message : messages_) PrintMessage(command, message);
    return !messages_.empty();
}

}  // namespace haojian::cli
