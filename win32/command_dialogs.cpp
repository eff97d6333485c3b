#include "win32/command_dialogs.h"

#include <commdlg.h>
#include <shellapi.h>

#include "win32/list_choice_dialog.h"
#include "win32/message_box.h"
#include "win32/wide_text.h"

namespace haojian::win32 {
namespace {

// The answer of a dialog that allows several files: the folder and every chosen name must fit.
constexpr std::size_t kManyNamesBuffer = 65519;
constexpr std::size_t kOneNameBuffer = 32768;

// Pairs of description and pattern, each ended by a NUL, the list by a second one.
std::wstring FilterText(FileChoice::Filters filters) {
    using namespace std::string_literals;
    if (filters == FileChoice::Filters::ChineseText)
        return L"文本文件(*.txt)\0*.txt\0所有文件(*.*)\0*.*\0"s;
    if (filters == FileChoice::Filters::Csv) return L"CSV文件(*.csv)\0*.csv\0所有文件(*.*)\0*.*\0"s;
    if (filters == FileChoice::Filters::ImportLists) {
        return L"Text files(*.txt)\0*.txt\0Excel workbooks(*.xlsx)\0*.xlsx\0"
               L"CSV files(*.csv;*.tsv)\0*.csv;*.tsv\0"
               L"All lists(*.txt;*.xlsx;*.csv;*.tsv)\0*.txt;*.xlsx;*.csv;*.tsv\0"
               L"All files(*.*)\0*.*\0"s;
    }
    return L"Text files(*.txt)\0*.txt\0All files(*.*)\0*.*\0"s;
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

void CommandDialogs::OpenAddress(std::string_view address) {
    // The contact command's verb is written "Open"; the shell takes verbs in any case.
    const bool mail = address.starts_with("mailto:");
    OpenWithShell(owner_, mail ? L"Open" : L"open", address, SW_SHOW);
}

void OpenWithShell(HWND owner, const wchar_t* verb, std::string_view address, int show) {
    const std::wstring target = WideFromUtf8(address);
    ShellExecuteW(owner, verb, target.c_str(), nullptr, nullptr, show);
}

}  // namespace haojian::win32
