#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "window/window_seams.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace haojian {

// One file dialog as a command wants it.
struct FileRequest {
    enum class Kind {
        Open,      // one file; a typed name of a file that does not exist is accepted
        OpenMany,  // several existing files
        Save,      // asks before an existing file is replaced
    };
    Kind kind = Kind::Open;
    QString title;
    QString directory;         // where the dialog starts; empty: where the platform chooses
    QString file_name;         // the proposed name
    QStringList name_filters;  // the first is selected
    QString default_suffix;    // appended to a typed name without one
    // Beside name_filters: the suffix a typed name gets while that filter is selected, instead
    // of default_suffix (none given, or empty: default_suffix).
    QStringList filter_suffixes;
};

struct BoxRequest {
    BoxKind kind = BoxKind::Plain;
    QString caption;
    QString text;
};

// The file dialogs and message boxes the commands show. The window shows every one through
// this seam, so that a test can answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen files' full paths; empty when the user cancelled.
    virtual QStringList ChooseFiles(QWidget* parent, const FileRequest& request) = 0;
    virtual Answer ShowBox(QWidget* parent, const BoxRequest& request) = 0;
    // The chosen folder's full path; empty when the user cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& title,
                                 const QString& directory) = 0;
    // The split export's dialog; none when the user cancelled.
    virtual std::optional<SplitExportChoice> ChooseSplitExport(
        QWidget* parent, const SplitExportChoice& proposed) = 0;
    // The row of choice taken; nothing when cancelled. By default the ListChoiceDialog.
    virtual std::optional<std::size_t> ChooseFromList(QWidget* parent, const ListChoice& choice);
};

// Qt's own dialogs.
Dialogs& DesktopDialogs();

// The application's error box for a message in GBK: the application title as caption, with a
// "." after a message that ends in a character sorting after it.
void ShowErrorBox(Dialogs& dialogs, QWidget* parent, std::string_view gbk_message);

// The width a message box keeps at least, so that a title bar shows its whole caption.
int CaptionWidth(const QString& caption);

// The dialogs DesktopDialogs shows, built but not yet run.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileRequest& request);
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const BoxRequest& request);
std::unique_ptr<QFileDialog> MakeFolderDialog(QWidget* parent, const QString& title,
                                              const QString& directory);

}  // namespace haojian
