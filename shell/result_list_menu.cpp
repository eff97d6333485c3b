#include "shell/result_list_menu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QMenu>
#include <utility>
#include <vector>

#include "core/run/result_table.h"
#include "shell/background_task.h"
#include "shell/result_list_view.h"
#include "shell/rows_clipboard_text.h"

namespace haojian {

ResultListMenu::ResultListMenu(ResultListView* list, ResultListActions actions)
    : QObject(list),
      list_(list),
      actions_(std::move(actions)),
      menu_(new QMenu(list)),
      copying_(new BackgroundTask(this)) {
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
    copy_ = item("CopyRows", QStringLiteral(u"复制"), QKeySequence::Copy);
    connect(copy_, &QAction::triggered, this, &ResultListMenu::CopySelectedRows);
    QAction* select_all = item("SelectAllRows", QStringLiteral(u"全选"), QKeySequence::SelectAll);
    connect(select_all, &QAction::triggered, list_, &QAbstractItemView::selectAll);
    menu_->addSeparator();
    QAction* statistics = item("ShowStatistics", QStringLiteral(u"统计..."), {});
    connect(statistics, &QAction::triggered, this, [this] { actions_.show_statistics(); });
    connect(copying_, &BackgroundTask::BusyChanged, this, [](bool busy) {
        if (busy) {
            QApplication::setOverrideCursor(Qt::BusyCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    });

    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, &ResultListMenu::Popup);
}

bool ResultListMenu::Copying() const {
    return copying_->Busy();
}

void ResultListMenu::Popup(const QPoint& at) {
    copy_->setEnabled(!Copying() && list_->selectionModel() &&
                      list_->selectionModel()->hasSelection());
    menu_->popup(list_->viewport()->mapToGlobal(at));
}

void ResultListMenu::CopySelectedRows() {
    if (Copying() || !list_->selectionModel() || !list_->model()) return;
    std::shared_ptr<const ResultTable> rows = actions_.snapshot();
    // Rows the list does not show yet are not taken.
    const std::size_t shown = std::min(rows->size(), std::size_t(list_->model()->rowCount()));
    std::vector<RowRange> ranges = SelectedRowRanges(list_->selectionModel()->selection(), shown);
    const std::size_t count = RowCount(ranges);
    if (count == 0) return;
    if (count > copy_limit_) {
        const QLocale c = QLocale::c();
        actions_.tell(QStringLiteral(u"选中了 %1 行，超过复制的上限 %2 行。完整的行请用命令行工具 "
                                     u"haojian-cli lookup 查询并保存为文件。")
                          .arg(c.toString(qulonglong(count)), c.toString(qulonglong(copy_limit_))));
        return;
    }
    auto text = std::make_shared<QString>();
    copying_->Start(
        [rows, ranges = std::move(ranges), text] { *text = RowsClipboardText(*rows, ranges); },
        [this, text](std::exception_ptr error) {
            if (error) {
                // Out of memory: the clipboard keeps what it had.
                actions_.tell(QStringLiteral(u"内存不足，选中的行未能复制。"));
                return;
            }
            // The clipboard offers text as UTF-8, which is what other programs take.
            QGuiApplication::clipboard()->setText(std::move(*text));
        });
}

}  // namespace haojian
