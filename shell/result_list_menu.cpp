#include "shell/result_list_menu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <algorithm>
#include <utility>
#include <vector>

#include "core/run/result_table.h"
#include "shell/gbk_text.h"
#include "shell/result_list_view.h"

namespace haojian {

ResultListMenu::ResultListMenu(ResultListView* list, const ResultTable& rows,
                               std::function<void()> show_statistics)
    : QObject(list), list_(list), rows_(rows), menu_(new QMenu(list)) {
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
    connect(statistics, &QAction::triggered, this, [show = std::move(show_statistics)] { show(); });

    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, &ResultListMenu::Popup);
}

void ResultListMenu::Popup(const QPoint& at) {
    copy_->setEnabled(list_->selectionModel() && list_->selectionModel()->hasSelection());
    menu_->popup(list_->viewport()->mapToGlobal(at));
}

QString ResultListMenu::SelectedRowsText() const {
    if (!list_->selectionModel() || !list_->model()) return {};
    // The selection's row ranges in list order, overlaps joined.
    std::vector<std::pair<int, int>> ranges;
    for (const QItemSelectionRange& range : list_->selectionModel()->selection())
        ranges.emplace_back(range.top(), range.bottom());
    std::sort(ranges.begin(), ranges.end());
    const int shown = list_->model()->rowCount();
    QString text;
    int next = 0;
    for (auto [top, bottom] : ranges) {
        bottom = std::min(bottom, std::min(shown, int(rows_.size())) - 1);
        for (int row = std::max(top, next); row <= bottom; ++row) {
            const ResultRowView r = rows_.Row(std::size_t(row));
            text += FromGbk(r.number) + u'\t' + FromGbk(r.province) + u'\t' + FromGbk(r.city) +
                    u'\t' + FromGbk(r.card_type) + u'\n';
        }
        next = std::max(next, bottom + 1);
    }
    return text;
}

void ResultListMenu::CopySelectedRows() {
    const QString text = SelectedRowsText();
    // The clipboard offers text as UTF-8, which is what other programs on the desktop take.
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

}  // namespace haojian
