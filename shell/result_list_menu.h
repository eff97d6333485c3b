#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QPoint;

namespace haojian {

class RowCopy;
class ResultListView;
class ResultTable;

// What the result list's menu reaches outside the list.
struct ResultListActions {
    std::function<void()> show_statistics;
    // The rows there are now, for another thread to read.
    std::function<std::unique_ptr<ResultTable>()> snapshot;
    // Says why a copy was refused.
    std::function<void(const QString&)> tell;
    // Whether text lists are cleaned on import, and the user's change of it.
    std::function<bool()> clean_lists = {};
    std::function<void(bool)> set_clean_lists = {};
    // 分类导出, and whether it may start now.
    std::function<void()> split_export = {};
    std::function<bool()> can_split_export = {};
};

// The result list's right-click menu and keys: "复制" (Ctrl+C) copies the selected rows to the
// clipboard, "全选" (Ctrl+A) selects every row, "统计..." opens the statistics of the rows,
// "分类导出..." exports them split by a field, and the check item "导入文本列表时整理号码" turns
// the clean-up of imported text lists on or off.
class ResultListMenu : public QObject {
    Q_OBJECT
public:
    ResultListMenu(ResultListView* list, ResultListActions actions);
    ~ResultListMenu() override;

    // The selected rows go to the clipboard as RowCopy (window/) copies them.
    void CopySelectedRows();
    bool Copying() const;
    void SetCopyLimit(std::size_t rows);

private:
    void Popup(const QPoint& at);

    ResultListView* list_;
    ResultListActions actions_;
    QMenu* menu_;
    QAction* copy_;
    QAction* split_ = nullptr;
    QAction* clean_lists_ = nullptr;
    std::unique_ptr<RowCopy> copy_rows_;
};

}  // namespace haojian
