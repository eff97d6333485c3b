#include "shell/existing_files_dialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

namespace haojian {

ExistingFilesDialog::ExistingFilesDialog(QWidget* parent, const QString& caption,
                                         const QString& directory)
    : QFileDialog(parent, caption, directory) {
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFiles);
}

QStringList ExistingFilesDialog::TypedNames(const QString& text) {
    if (!text.contains(u'"')) return text.isEmpty() ? QStringList() : QStringList{text};
    // "a.txt" "b.txt": every second piece between the quotes is a name.
    const QStringList pieces = text.split(u'"');
    QStringList names;
    for (qsizetype i = 1; i < pieces.size(); i += 2) {
        if (!pieces[i].isEmpty()) names << pieces[i];
    }
    return names;
}

void ExistingFilesDialog::accept() {
    const auto* box = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QStringList names = TypedNames(box ? box->text() : QString());
    if (names.isEmpty()) {
        chosen_ = selectedFiles();
        if (!chosen_.isEmpty()) QDialog::accept();
        return;
    }
    const QDir folder = directory();
    QStringList paths;
    for (const QString& name : names) {
        QFileInfo info(folder, name.startsWith(u'~') ? QDir::homePath() + name.mid(1) : name);
        // A name without a suffix that is not there may mean the default one.
        if (!info.exists() && !defaultSuffix().isEmpty() && !info.fileName().contains(u'.'))
            info = QFileInfo(info.filePath() + u'.' + defaultSuffix());
        if (names.size() == 1 && info.isDir()) {
            // A folder typed alone is opened, as the dialog always does.
            QFileDialog::accept();
            return;
        }
        if (!info.isFile()) {
            QMessageBox::warning(this, windowTitle(),
                                 QCoreApplication::translate("QFileDialog",
                                                             "%1\nFile not found.\nPlease verify "
                                                             "the correct file name was given.")
                                     .arg(info.fileName()));
            return;
        }
        paths << info.absoluteFilePath();
    }
    chosen_ = paths;
    QDialog::accept();
}

}  // namespace haojian
