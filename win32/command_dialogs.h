#pragma once

#include <windows.h>

#include "win32/shell_address_opener.h"
#include "window/window_seams.h"

namespace haojian::win32 {

// The commands' file dialogs (the common dialogs), message boxes and addresses (ShellExecute),
// owned by the main window.
class CommandDialogs final : public WindowDialogs {
public:
    explicit CommandDialogs(HWND owner) : owner_(owner), opener_(owner, SW_SHOW) {}

    std::vector<std::string> ChooseFiles(const FileChoice& choice) override;
    Answer ShowBox(const MessageBoxRequest& request) override;
    void OpenAddress(std::string_view address) override { opener_.OpenAddress(address); }

private:
    HWND owner_;
    ShellAddressOpener opener_;
};

}  // namespace haojian::win32
