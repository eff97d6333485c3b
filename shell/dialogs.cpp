#include "shell/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include "shell/application.h"
#include "shell/existing_files_dialog.h"
#include "shell/gbk_text.h"
#include "shell/list_choice_dialog.h"
#include "shell/split_export_dialog.h"
#include "window/failure_text.h"
#include "window/window_texts.h"

namespace haojian {
namespace {

class DesktopDialogsImpl final : public Dialogs {
public:
    QStringList ChooseFiles(QWidget* parent, const FileRequest& request) override {
        const auto dialog = MakeFileDialog(parent, request);
        if (dialog->exec() != QDialog::Accepted) return {};
        if (const auto* many = qobject_cast<ExistingFilesDialog*>(dialog.get()))
            return many->Chosen();
        return dialog->selectedFiles();
    }

    Answer ShowBox(QWidget* parent, const BoxRequest& request) override {
        const auto box = MakeMessageBox(parent, request);
        box->exec();
        if (request.kind != BoxKind::Confirm) return Answer::Ok;
        // Closing the box any other way than by Yes answers No.
        QAbstractButton* clicked = box->clickedButton();
        return clicked && box->buttonRole(clicked) == QMessageBox::YesRole ? Answer::Yes
                                                                           : Answer::No;
    }

    QString ChooseFolder(QWidget* parent, const QString& title, const QString& directory) override {
        const auto dialog = MakeFolderDialog(parent, title, directory);
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
        return dialog->selectedFiles().first();
    }

    std::optional<SplitExportChoice> ChooseSplitExport(QWidget* parent,
                                                       const SplitExportChoice& proposed) override {
        SplitExportDialog dialog(parent, proposed);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Chosen();
    }
};

}  // namespace

std::optional<std::size_t> Dialogs::ChooseFromList(QWidget* parent, const ListChoice& choice) {
    ListChoiceDialog dialog(parent, choice);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Chosen();
}

int CaptionWidth(const QString& caption) {
    // A generous title font, and room for the icon and three buttons of a title bar.
    QFont title = QApplication::font();
    title.setBold(true);
    title.setPixelSize(16);
    constexpr int kTitleBarExtras = 140;
    return QFontMetrics(title).horizontalAdvance(caption) + kTitleBarExtras;
}

void ShowErrorBox(Dialogs& dialogs, QWidget* parent, std::string_view gbk_message) {
    dialogs.ShowBox(parent,
                    {BoxKind::Error, ApplicationTitle(), FromGbk(ErrorBoxText(gbk_message))});
}

Dialogs& DesktopDialogs() {
    static DesktopDialogsImpl dialogs;
    return dialogs;
}

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileRequest& request) {
    std::unique_ptr<QFileDialog> dialog =
        request.kind == FileRequest::Kind::OpenMany
            ? std::make_unique<ExistingFilesDialog>(parent, request.title, request.directory)
            : std::make_unique<QFileDialog>(parent, request.title, request.directory);
    switch (request.kind) {
        case FileRequest::Kind::Open:
            dialog->setAcceptMode(QFileDialog::AcceptOpen);
            dialog->setFileMode(QFileDialog::AnyFile);
            break;
        case FileRequest::Kind::OpenMany:
            break;
        case FileRequest::Kind::Save:
            dialog->setAcceptMode(QFileDialog::AcceptSave);
            dialog->setFileMode(QFileDialog::AnyFile);
            dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
            break;
    }
    dialog->setNameFilters(request.name_filters);
    if (!request.name_filters.isEmpty()) dialog->selectNameFilter(request.name_filters.first());
    dialog->setDefaultSuffix(request.default_suffix);
    if (!request.filter_suffixes.isEmpty()) {
        QFileDialog* shown = dialog.get();
        QObject::connect(
            shown, &QFileDialog::filterSelected, shown, [shown, request](const QString& filter) {
                const qsizetype i = request.name_filters.indexOf(filter);
                const QString suffix = i >= 0 && i < request.filter_suffixes.size()
                                           ? request.filter_suffixes[i]
                                           : QString();
                shown->setDefaultSuffix(suffix.isEmpty() ? request.default_suffix : suffix);
            });
    }
    if (!request.file_name.isEmpty()) dialog->selectFile(request.file_name);
    dialog->setSizeGripEnabled(true);
    // Qt's own dialog on every desktop: a desktop's native one follows the system language,
    // where Qt's carries the Chinese texts the rest of the window has.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    return dialog;
}

std::unique_ptr<QFileDialog> MakeFolderDialog(QWidget* parent, const QString& title,
                                              const QString& directory) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, directory);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setSizeGripEnabled(true);
    // Qt's own dialog, in Chinese as the file dialogs are.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    return dialog;
}

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const BoxRequest& request) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(request.caption);
    box->setText(request.text);
    box->setTextFormat(Qt::PlainText);
    switch (request.kind) {
        case BoxKind::Plain:
        case BoxKind::Error: {
            box->setIcon(request.kind == BoxKind::Error ? QMessageBox::Critical
                                                        : QMessageBox::NoIcon);
            QPushButton* ok =
                box->addButton(QtText(window_text::kOkButton), QMessageBox::AcceptRole);
            box->setDefaultButton(ok);
            box->setEscapeButton(ok);
            break;
        }
        case BoxKind::Confirm: {
            box->setIcon(QMessageBox::Question);
            QPushButton* yes =
                box->addButton(QtText(window_text::kYesButton), QMessageBox::YesRole);
            QPushButton* no = box->addButton(QtText(window_text::kNoButton), QMessageBox::NoRole);
            box->setDefaultButton(yes);
            box->setEscapeButton(no);
            break;
        }
    }
    // The window manager writes the caption in its own, larger title font beside the window's
    // icon and buttons; Qt sizes a box for a smaller one and the caption gets cut. A spacer
    // keeps the box wide enough for the whole caption.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(CaptionWidth(request.caption), 0, QSizePolicy::Fixed,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

}  // namespace haojian
