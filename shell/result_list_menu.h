#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QPoint;

namespace haojian {

class ResultListView;
class ResultTable;

// The result list's right-click menu and keys: "复制" (Ctrl+C) copies the selected rows to the
// clipboard, "全选" (Ctrl+A) selects every row, "统计..." opens the statistics of the rows.
class ResultListMenu : public QObject {
    Q_OBJECT
public:
    ResultListMenu(ResultListView* list, const ResultTable& rows,
                   std::function<void()> show_statistics);

    // The selected rows as tab-separated lines (number, province, city, card type), whole and
    // in list order, each ended by a line feed.
    QString SelectedRowsText() const;
    void CopySelectedRows();

private:
    void Popup(const QPoint& at);

    ResultListView* list_;
    const ResultTable& rows_;
    QMenu* menu_;
    QAction* copy_;
};

}  // namespace haojian
