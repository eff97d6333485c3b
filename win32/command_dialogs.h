#pragma once

#include <windows.h>

#include "window/window_seams.h"

namespace haojian::win32 {

// The commands' file dialogs (the common dialogs), message boxes and addresses (ShellExecute),
// owned by the main window.
class CommandDialogs final : public WindowDialogs {
public:
    explicit CommandDialogs(HWND owner) : owner_(owner) {}

    std::vector<std::string> ChooseFiles(const FileChoice& choice) override;
    Answer ShowBox(const MessageBoxRequest& request) override;
    std::optional<std::size_t> ChooseFromList(const ListChoice& choice) override;
    void OpenAddress(std::string_view address) override;

private:
    HWND owner_;
};

// Asks the shell to perform verb on address (UTF-8), owned by owner; the result is not examined.
void OpenWithShell(HWND owner, const wchar_t* verb, std::string_view address, int show);

}  // namespace haojian::win32
