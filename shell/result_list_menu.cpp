#include "shell/result_list_menu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <utility>
#include <vector>

#include "core/run/result_table.h"
#include "shell/gbk_text.h"
#include "shell/queued_waker.h"
#include "shell/result_list_view.h"
#include "shell/selected_row_ranges.h"
#include "window/main_window_texts.h"
#include "window/row_copy.h"
#include "window/split_export_texts.h"

namespace haojian {
ResultListMenu::ResultListMenu(ResultListView* list, ResultListActions actions)
    : QObject(list),
      list_(list),
      actions_(std::move(actions)),
      menu_(new QMenu(list)),
      copy_rows_(std::make_unique<RowCopy>(
          RowCopySeams{[](bool busy) {
                           if (busy) {
                               QApplication::setOverrideCursor(Qt::BusyCursor);
                           } else {
                               QApplication::restoreOverrideCursor();
                           }
                       },
                       [this](std::u16string_view text) { actions_.tell(QtText(text)); },
                       // The clipboard offers text as UTF-8, which is what other programs take.
                       [](std::u16string text) {
                           QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
                       }},
          [this](std::uint64_t id) { PostQueued(this, [this, id] { copy_rows_->Finish(id); }); },
          u"\n")) {
    setObjectName(QStringLiteral("ResultListMenu"));
    menu_->setObjectName(QStringLiteral("ListView1Menu"));
    const auto item = [this](const char* name, const QString& caption, const QKeySequence& keys) {
        QAction* action = menu_->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        // The keys work while the list has the focus, as well as in the menu.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        list_->addAction(action);
        return action;
    };
    copy_ = item("CopyRows", QtText(window_text::kCopyItem), QKeySequence::Copy);
    connect(copy_, &QAction::triggered, this, &ResultListMenu::CopySelectedRows);
    QAction* select_all =
        item("SelectAllRows", QtText(window_text::kSelectAllItem), QKeySequence::SelectAll);
    connect(select_all, &QAction::triggered, list_, &QAbstractItemView::selectAll);
    menu_->addSeparator();
    QAction* statistics = item("ShowStatistics", QtText(window_text::kStatisticsItem), {});
    connect(statistics, &QAction::triggered, this, [this] { actions_.show_statistics(); });
    if (actions_.split_export) {
        split_ = item("SplitExport", QtText(window_text::kSplitExportItem), {});
        connect(split_, &QAction::triggered, this, [this] { actions_.split_export(); });
    }
    menu_->addSeparator();
    clean_lists_ = menu_->addAction(QtText(window_text::kCleanListsItem));
    clean_lists_->setObjectName(QStringLiteral("CleanLists"));
    clean_lists_->setCheckable(true);
    connect(clean_lists_, &QAction::toggled, this, [this](bool on) {
        if (actions_.set_clean_lists) actions_.set_clean_lists(on);
    });

    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, &ResultListMenu::Popup);
}

ResultListMenu::~ResultListMenu() = default;

bool ResultListMenu::Copying() const {
    return copy_rows_->Copying();
}

void ResultListMenu::SetCopyLimit(std::size_t rows) {
    copy_rows_->SetLimit(rows);
}

void ResultListMenu::Popup(const QPoint& at) {
    copy_->setEnabled(!Copying() && list_->selectionModel() &&
                      list_->selectionModel()->hasSelection());
    if (split_) split_->setEnabled(!actions_.can_split_export || actions_.can_split_export());
    if (actions_.clean_lists) clean_lists_->setChecked(actions_.clean_lists());
    menu_->popup(list_->viewport()->mapToGlobal(at));
}

void ResultListMenu::CopySelectedRows() {
    if (Copying() || !list_->selectionModel() || !list_->model()) return;
    std::shared_ptr<const ResultTable> rows = actions_.snapshot();
    // Rows the list does not show yet are not taken.
    const std::size_t shown = std::min(rows->size(), std::size_t(list_->model()->rowCount()));
    copy_rows_->Copy(std::move(rows),
                     SelectedRowRanges(list_->selectionModel()->selection(), shown));
}

}  // namespace haojian
