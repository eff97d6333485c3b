#include "shell/list_choice_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/gbk_text.h"
#include "window/window_texts.h"

namespace haojian {
namespace {

// Rows shown without scrolling; a longer list scrolls.
constexpr int kShownRows = 12;
// A cell of first values is cut beyond this width, with "…".
constexpr int kWidestColumn = 560;

}  // namespace

ListChoiceDialog::ListChoiceDialog(QWidget* parent, const ListChoice& choice)
    : QDialog(parent), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("ListChoiceDialog"));
    setWindowTitle(QtText(choice.title));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* prompt = new QLabel(QtText(choice.prompt), this);
    prompt->setObjectName(QStringLiteral("ChoicePrompt"));
    layout->addWidget(prompt);

    list_->setObjectName(QStringLiteral("ChoiceList"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setTextElideMode(Qt::ElideRight);
    list_->setColumnCount(int(choice.headings.size()));
    QStringList headings;
    for (const auto& heading : choice.headings) headings << QtText(heading);
    list_->setHeaderLabels(headings);
    for (const auto& row : choice.rows) {
        QStringList cells;
        for (const auto& cell : row) cells << QtText(cell);
        auto* item = new QTreeWidgetItem(list_, cells);
        for (int c = 0; c < cells.size(); ++c) item->setToolTip(c, cells[c]);
    }
    // As wide as its columns and as tall as its rows, up to a bound.
    int width = 2 * list_->frameWidth();
    for (int c = 0; c < list_->columnCount(); ++c) {
        list_->resizeColumnToContents(c);
        const int column = std::min(list_->columnWidth(c) + 12, kWidestColumn);
        list_->setColumnWidth(c, column);
        width += column;
    }
    const int row_height = list_->sizeHintForRow(0) > 0 ? list_->sizeHintForRow(0) : 18;
    const int rows = std::clamp(int(choice.rows.size()), 1, kShownRows);
    const int scroll = int(choice.rows.size()) > kShownRows
                           ? list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                           : 0;
    list_->setFixedSize(
        std::max(width + scroll, prompt->sizeHint().width()),
        list_->header()->sizeHint().height() + rows * row_height + 2 * list_->frameWidth());
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(list_);
    if (choice.preselected < choice.rows.size()) {
        list_->setCurrentItem(list_->topLevelItem(int(choice.preselected)));
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(QtText(window_text::kOkButton), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ChoiceOk"));
    ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QtText(window_text::kCancelButton), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ChoiceCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    list_->setFocus();
}

std::size_t ListChoiceDialog::Chosen() const {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    return row < 0 ? 0 : std::size_t(row);
}

}  // namespace haojian
