#include "shell/bottom_panel.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "shell/jpeg_image.h"
#include "window/main_window_layout.h"
#include "window/main_window_texts.h"

namespace haojian {
namespace {

QFrame* PicturePanel(QWidget* parent, const char* panel_name, const char* image_name,
                     const char* file) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(panel_name));
    panel->setFixedWidth(window_layout::kPicturePanelWidth);
    auto* image = new QLabel(panel);
    image->setObjectName(QString::fromLatin1(image_name));
    image->setFixedSize(window_layout::kPictureSide, window_layout::kPictureSide);
    image->setPixmap(QPixmap::fromImage(LoadJpeg(QString::fromLatin1(file))));
    auto* centre = new QVBoxLayout(panel);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->addWidget(image, 0, Qt::AlignCenter);
    return panel;
}

}  // namespace

QFrame* BevelledPanel(const char* name, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setMidLineWidth(0);
    return panel;
}

BottomPanel MakeBottomPanel(QWidget* parent) {
    QFrame* bottom = BevelledPanel("Panel10", parent);
    bottom->setFixedHeight(window_layout::kBottomHeight);
    auto* bottom_layout = new QVBoxLayout(bottom);
    bottom_layout->setContentsMargins(0, 0, 0, 0);
    bottom_layout->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(PicturePanel(bottom, "Panel1", "Image1", ":/pictures/image1.jpg"));
    auto* memo = new QPlainTextEdit(bottom);
    memo->setObjectName(QStringLiteral("Memo2"));
    QPalette silver = memo->palette();
    silver.setColor(QPalette::Base, QColor(192, 192, 192));
    memo->setPalette(silver);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab and Shift+Tab move on, as from every other control, instead of typing a tab.
    memo->setTabChangesFocus(true);
    QStringList lines;
    for (std::u16string_view line : window_text::kInstructions)
        lines << QString::fromUtf16(line.data(), qsizetype(line.size()));
    memo->setPlainText(lines.join(QLatin1Char('\n')));
    row->addWidget(memo, 1);
    row->addWidget(PicturePanel(bottom, "Panel3", "Image2", ":/pictures/image2.jpg"));
    bottom_layout->addLayout(row, 1);
    auto* progress = new QProgressBar(bottom);
    progress->setObjectName(QStringLiteral("ProgressBar1"));
    progress->setFixedHeight(window_layout::kProgressHeight);
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    bottom_layout->addWidget(progress);
    return {bottom, progress};
}

}  // namespace haojian
