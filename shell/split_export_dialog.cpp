#include "shell/split_export_dialog.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "shell/gbk_text.h"
#include "window/split_export_texts.h"

namespace haojian {

SplitExportDialog::SplitExportDialog(QWidget* parent, const SplitExportChoice& proposed)
    : QDialog(parent) {
    setObjectName(QStringLiteral("SplitExportDialog"));
    setWindowTitle(QtText(window_text::kSplitExportCaption));

    auto* by = new QGroupBox(QtText(window_text::kSplitByLabel));
    auto* by_layout = new QHBoxLayout(by);
    auto* by_group = new QButtonGroup(this);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        fields_[i] = new QRadioButton(QtText(window_text::kSplitFields[i]));
        fields_[i]->setObjectName(QStringLiteral("SplitField%1").arg(i));
        by_group->addButton(fields_[i]);
        by_layout->addWidget(fields_[i]);
    }
    by_layout->addStretch(1);
    fields_[std::size_t(proposed.field)]->setChecked(true);

    auto* into = new QGroupBox(QtText(window_text::kSplitIntoLabel));
    auto* into_layout = new QVBoxLayout(into);
    auto* into_group = new QButtonGroup(this);
    for (std::size_t i = 0; i < intos_.size(); ++i) {
        intos_[i] = new QRadioButton(QtText(window_text::kSplitIntoChoices[i]));
        intos_[i]->setObjectName(QStringLiteral("SplitInto%1").arg(i));
        into_group->addButton(intos_[i]);
        into_layout->addWidget(intos_[i]);
    }
    intos_[std::size_t(proposed.into)]->setChecked(true);

    auto* hint = new QLabel(QtText(window_text::kSplitExportHint));
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok =
        buttons->addButton(QtText(window_text::kOkButton), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("SplitOk"));
    ok->setDefault(true);
    buttons->addButton(QtText(window_text::kCancelButton), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(by);
    layout->addWidget(into);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    // The size of its content, no larger, and not to be made smaller.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    fields_[std::size_t(proposed.field)]->setFocus();
}

SplitExportChoice SplitExportDialog::Chosen() const {
    SplitExportChoice chosen;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i]->isChecked()) chosen.field = SplitField(i);
    }
    for (std::size_t i = 0; i < intos_.size(); ++i) {
        if (intos_[i]->isChecked()) chosen.into = SplitExportChoice::Into(i);
    }
    return chosen;
}

}  // namespace haojian
