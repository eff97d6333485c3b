#pragma once

#include <QFileDialog>
#include <QStringList>

namespace haojian {

// A file dialog that chooses several existing files and takes every name typed into its name
// box, not only those it could highlight: each must be an existing file, or the dialog says
// "File not found" for the first that is not and stays open. Chosen() gives the full paths in
// the order typed; when the name box is empty, the files selected in the list.
class ExistingFilesDialog : public QFileDialog {
    Q_OBJECT
public:
    ExistingFilesDialog(QWidget* parent, const QString& caption, const QString& directory);

    QStringList Chosen() const { return chosen_; }
    // The names of a name box's text: each quoted one, or the whole text when none is quoted.
    static QStringList TypedNames(const QString& text);

public slots:
    void accept() override;

private:
    QStringList chosen_;
};

}  // namespace haojian
