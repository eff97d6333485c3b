#pragma once

#include <QDialog>
#include <cstddef>

#include "window/window_seams.h"

class QTreeWidget;

namespace haojian {

// A small modal dialog that offers the rows of a ListChoice (a workbook's sheets, a table's
// columns) and takes one: "确定" or Enter takes the selected row, the preselected one at first;
// "取消" or Escape takes none. Found by objectName: ListChoiceDialog, ChoicePrompt, ChoiceList,
// ChoiceOk, ChoiceCancel.
class ListChoiceDialog final : public QDialog {
    Q_OBJECT
public:
    ListChoiceDialog(QWidget* parent, const ListChoice& choice);

    // The selected row.
    std::size_t Chosen() const;

private:
    QTreeWidget* list_;
};

}  // namespace haojian
