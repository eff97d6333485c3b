#pragma once

#include <windows.h>

#include "win32/shell_address_opener.h"
#include "window/window_seams.h"

namespace haojian::win32 {

// The commands' file dialogs (the common dialogs; the folder dialog IFileOpenDialog picking
// folders), the split export's dialog, message boxes and addresses (ShellExecute),
// owned by the main window.
class CommandDialogs final : public WindowDialogs {
public:
    explicit CommandDialogs(HWND owner) : owner_(owner), opener_(owner, SW_SHOW) {}

    std::vector<std::string> ChooseFiles(const FileChoice& choice) override;
    Answer ShowBox(const MessageBoxRequest& request) override;
    void OpenAddress(std::string_view address) override { opener_.OpenAddress(address); }
    std::string ChooseFolder(const FolderChoice& choice) override;
    std::optional<SplitExportChoice> ChooseSplitExport(const SplitExportChoice& proposed) override;
    std::optional<std::size_t> ChooseFromList(const ListChoice& choice) override;

private:
    HWND owner_;
    ShellAddressOpener opener_;
    // The folder of the last split export, where the next one's folder dialog starts.
    std::string split_directory_;
};

}  // namespace haojian::win32
