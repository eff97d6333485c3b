#include "shell/command_dialogs.h"

#include <QFileInfo>
#include <QUrl>

#include "shell/address_opener.h"
#include "shell/dialogs.h"
#include "shell/gbk_text.h"
#include "window/file_filters.h"

namespace haojian {
QStringList NameFilters(FileChoice::Filters filters) {
    QStringList names;
    for (const FileFilter& filter : FileFilters(filters)) {
        // "*" rather than "*.*": here a file name need not have a dot.
        const std::u16string_view pattern =
            filter.pattern == kAllFilesPattern ? u"*" : filter.pattern;
        // Qt separates a filter's patterns by spaces.
        names.push_back(QtText(filter.name) + u'(' + QtText(pattern).replace(u';', u' ') + u')');
    }
    return names;
}

std::vector<std::string> CommandDialogs::ChooseFiles(const FileChoice& choice) {
    QString* remembered = nullptr;
    if (choice.purpose == FileChoice::Purpose::MergeSources) remembered = &merge_sources_directory_;
    if (choice.purpose == FileChoice::Purpose::MergeOutput) remembered = &merge_output_directory_;

    FileRequest request;
    switch (choice.kind) {
        case FileChoice::Kind::Open:
            request.kind = FileRequest::Kind::Open;
            break;
        case FileChoice::Kind::OpenMany:
            request.kind = FileRequest::Kind::OpenMany;
            break;
        case FileChoice::Kind::Save:
            request.kind = FileRequest::Kind::Save;
            break;
    }
    request.title = QtText(choice.title);
    request.directory = remembered ? *remembered : QString::fromStdString(choice.directory);
    request.file_name = QtText(choice.file_name);
    request.name_filters = NameFilters(choice.filters);
    request.default_suffix = QtText(choice.default_suffix);
    for (const FileFilter& filter : FileFilters(choice.filters))
        request.filter_suffixes.push_back(QtText(filter.suffix));
    const QStringList chosen = dialogs_.ChooseFiles(parent_, request);
    if (remembered && !chosen.isEmpty()) *remembered = QFileInfo(chosen.first()).absolutePath();

    std::vector<std::string> paths;
    paths.reserve(std::size_t(chosen.size()));
    for (const QString& path : chosen) paths.push_back(FilePath(path));
    return paths;
}

Answer CommandDialogs::ShowBox(const MessageBoxRequest& request) {
    return dialogs_.ShowBox(parent_, {request.kind, QtText(request.caption), QtText(request.text)});
}

std::string CommandDialogs::ChooseFolder(const FolderChoice& choice) {
    // Starts where the last split export went, else where the command says.
    const QString start =
        split_directory_.isEmpty() ? QString::fromStdString(choice.directory) : split_directory_;
    const QString chosen = dialogs_.ChooseFolder(parent_, QtText(choice.title), start);
    if (chosen.isEmpty()) return {};
    split_directory_ = chosen;
    return FilePath(chosen);
}

std::optional<SplitExportChoice> CommandDialogs::ChooseSplitExport(
    const SplitExportChoice& proposed) {
    return dialogs_.ChooseSplitExport(parent_, proposed);
}

std::optional<std::size_t> CommandDialogs::ChooseFromList(const ListChoice& choice) {
    return dialogs_.ChooseFromList(parent_, choice);
}

void CommandDialogs::OpenAddress(std::string_view address) {
    opener_.OpenAddress(address);
}

}  // namespace haojian
