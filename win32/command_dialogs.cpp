#include "win32/command_dialogs.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shobjidl.h>

#include "win32/com_ref.h"
#include "win32/list_choice_dialog.h"
#include "win32/message_box.h"
#include "win32/split_export_dialog.h"
#include "win32/wide_text.h"
#include "window/file_filters.h"

namespace haojian::win32 {
namespace {

// The answer of a dialog that allows several files: the folder and every chosen name must fit.
constexpr std::size_t kManyNamesBuffer = 65519;
constexpr std::size_t kOneNameBuffer = 32768;

// Pairs of description and pattern, each ended by a NUL, the list by a second one. With a
// default suffix, the dialog gives a typed name the selected pattern's own suffix.
std::wstring FilterText(FileChoice::Filters filters) {
    std::wstring text;
    for (const FileFilter& filter : FileFilters(filters)) {
        const std::wstring pattern = Wide(filter.pattern);
        text += Wide(filter.name) + L'(' + pattern + L')';
        text += L'\0';
        text += pattern;
        text += L'\0';
    }
    return text;
}

// The names of a multiple-selection answer: one full path, or the folder and then the names.
std::vector<std::string> SplitMany(const wchar_t* answer) {
    std::vector<std::wstring> parts;
    for (const wchar_t* p = answer; *p; p += wcslen(p) + 1) parts.emplace_back(p);
    std::vector<std::string> paths;
    if (parts.size() == 1) {
        paths.push_back(Utf8FromWide(parts[0]));
        return paths;
    }
    std::wstring folder = parts[0];
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(Utf8FromWide(folder + parts[i]));
    return paths;
}

}  // namespace

std::string CommandDialogs::ChooseFolder(const FolderChoice& choice) {
    ComRef<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog)))) {
        return {};
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                       FOS_NOCHANGEDIR);
    const std::wstring title = Wide(choice.title);
    dialog->SetTitle(title.c_str());
    // Starts where the last split export went, else where the command says; without either,
    // where the dialog's own last choice was.
    const std::string& folder = split_directory_.empty() ? choice.directory : split_directory_;
    if (!folder.empty()) {
        ComRef<IShellItem> start;
        const std::wstring directory = WideFromUtf8(folder);
        if (SUCCEEDED(
                SHCreateItemFromParsingName(directory.c_str(), nullptr, IID_PPV_ARGS(&start))))
            dialog->SetFolder(start.p);
    }
    if (FAILED(dialog->Show(owner_))) return {};  // cancelled, or no dialog
    ComRef<IShellItem> chosen;
    if (FAILED(dialog->GetResult(&chosen))) return {};
    wchar_t* path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return {};
    split_directory_ = Utf8FromWide(path);
    CoTaskMemFree(path);
    return split_directory_;
}

std::optional<SplitExportChoice> CommandDialogs::ChooseSplitExport(
    const SplitExportChoice& proposed) {
    return win32::ChooseSplitExport(owner_, proposed);
}

std::vector<std::string> CommandDialogs::ChooseFiles(const FileChoice& choice) {
    const bool many = choice.kind == FileChoice::Kind::OpenMany;
    std::wstring buffer(many ? kManyNamesBuffer : kOneNameBuffer, L'\0');
    const std::wstring proposed = Wide(choice.file_name);
    proposed.copy(buffer.data(), std::min(proposed.size(), buffer.size() - 1));
    const std::wstring filter = FilterText(choice.filters);
    const std::wstring title = Wide(choice.title);
    const std::wstring directory = WideFromUtf8(choice.directory);
    const std::wstring suffix = Wide(choice.default_suffix);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = DWORD(buffer.size());
    // Without a folder the dialog starts where its own last choice was.
    ofn.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = suffix.empty() ? nullptr : suffix.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    switch (choice.kind) {
        case FileChoice::Kind::Open:
            break;
        case FileChoice::Kind::OpenMany:
            ofn.Flags |= OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
            break;
        case FileChoice::Kind::Save:
            ofn.Flags |= OFN_OVERWRITEPROMPT;
            break;
    }
    const BOOL chosen =
        choice.kind == FileChoice::Kind::Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) return {};
    if (many) return SplitMany(buffer.c_str());
    return {Utf8FromWide(buffer.c_str())};
}

Answer CommandDialogs::ShowBox(const MessageBoxRequest& request) {
    return ShowMessageBox(owner_, request);
}

std::optional<std::size_t> CommandDialogs::ChooseFromList(const ListChoice& choice) {
    return ChooseFromListDialog(owner_, choice);
}

}  // namespace haojian::win32
