#pragma once

#include <windows.h>

#include "window/window_seams.h"

namespace haojian::win32 {

// The commands' file dialogs (the common dialogs; the folder dialog IFileOpenDialog picking
// folders), the split export's dialog, message boxes and addresses (ShellExecute),
// owned by the main window.
class CommandDialogs final : public WindowDialogs {
public:
    explicit CommandDialogs(HWND owner) : owner_(owner) {}

    std::vector<std::string> ChooseFiles(const FileChoice& choice) override;
    Answer ShowBox(const MessageBoxRequest& request) override;
    void OpenAddress(std::string_view address) override;
    std::string ChooseFolder(const FolderChoice& choice) override;
    std::optional<SplitExportChoice> ChooseSplitExport(const SplitExportChoice& proposed) override;

private:
    HWND owner_;
    // The folder of the last split export, where the next one's folder dialog starts.
    std::string split_directory_;
};

// Asks the shell to perform verb on address (UTF-8), owned by owner; the result is not examined.
void OpenWithShell(HWND owner, const wchar_t* verb, std::string_view address, int show);

}  // namespace haojian::win32
