#pragma once

#include <QDialog>
#include <array>

#include "window/split_export_choice.h"

class QRadioButton;

namespace haojian {

// 分类导出's dialog: which field parts the rows (省份, 城市, 卡类) and what they go into (a folder
// of text, CSV or workbook files, or one workbook), with OK and Cancel. Sized to its content.
class SplitExportDialog : public QDialog {
    Q_OBJECT
public:
    SplitExportDialog(QWidget* parent, const SplitExportChoice& proposed);
    SplitExportChoice Chosen() const;

private:
    std::array<QRadioButton*, 3> fields_{};
    std::array<QRadioButton*, 4> intos_{};
};

}  // namespace haojian
