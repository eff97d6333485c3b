#include "shell/command_dialogs.h"

#include <QFileInfo>
#include <QUrl>

#include "shell/address_opener.h"
#include "shell/dialogs.h"
#include "shell/gbk_text.h"

namespace haojian {
namespace {

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

QStringList NameFilters(FileChoice::Filters filters) {
    // "*" rather than "*.*": here a file name need not have a dot.
    if (filters == FileChoice::Filters::ChineseText)
        return {QStringLiteral(u"文本文件(*.txt)"), QStringLiteral(u"所有文件(*)")};
    if (filters == FileChoice::Filters::Csv)
        return {QStringLiteral(u"CSV文件(*.csv)"), QStringLiteral(u"所有文件(*)")};
    if (filters == FileChoice::Filters::ImportLists) {
        return {QStringLiteral("Text files(*.txt)"), QStringLiteral("Excel workbooks(*.xlsx)"),
                QStringLiteral("CSV files(*.csv *.tsv)"),
                QStringLiteral("All lists(*.txt *.xlsx *.csv *.tsv)"),
                QStringLiteral("All files(*)")};
    }
    return {QStringLiteral("Text files(*.txt)"), QStringLiteral("All files(*)")};
}

}  // namespace

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
    request.title = Text(choice.title);
    request.directory = remembered ? *remembered : QString::fromStdString(choice.directory);
    request.file_name = Text(choice.file_name);
    request.name_filters = NameFilters(choice.filters);
    request.default_suffix = Text(choice.default_suffix);
    const QStringList chosen = dialogs_.ChooseFiles(parent_, request);
    if (remembered && !chosen.isEmpty()) *remembered = QFileInfo(chosen.first()).absolutePath();

    std::vector<std::string> paths;
    paths.reserve(std::size_t(chosen.size()));
    for (const QString& path : chosen) paths.push_back(FilePath(path));
    return paths;
}

Answer CommandDialogs::ShowBox(const MessageBoxRequest& request) {
    return dialogs_.ShowBox(parent_, {request.kind, Text(request.caption), Text(request.text)});
}

std::optional<std::size_t> CommandDialogs::ChooseFromList(const ListChoice& choice) {
    return dialogs_.ChooseFromList(parent_, choice);
}

void CommandDialogs::OpenAddress(std::string_view address) {
    opener_.Open(QUrl(QString::fromUtf8(address.data(), qsizetype(address.size()))));
}

}  // namespace haojian
