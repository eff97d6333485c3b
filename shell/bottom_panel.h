#pragma once

class QFrame;
class QProgressBar;
class QWidget;

namespace haojian {

// A panel framed by a lowered outer and a raised inner bevel.
QFrame* BevelledPanel(const char* name, QWidget* parent);

// The main window's bottom panel Panel10: a picture left (Image1) and right (Image2), the
// instructions (Memo2) between them, and the progress bar (ProgressBar1) below.
struct BottomPanel {
    QFrame* frame;
    QProgressBar* progress;
};
BottomPanel MakeBottomPanel(QWidget* parent);

}  // namespace haojian
