#include "shell/about_window.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

#include "shell/gbk_text.h"
#include "shell/hyperlink_label.h"
#include "shell/jpeg_image.h"
#include "shell/maker.h"
#include "window/window_texts.h"

namespace haojian {
namespace {

// A panel framed by a lowered outer and a raised inner bevel, one pixel each.
class BevelPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QPalette& colours = palette();
        painter.fillRect(rect(), colours.color(QPalette::Window));
        qDrawShadeRect(&painter, rect(), colours, true, 1, 0);
        qDrawShadeRect(&painter, rect().adjusted(1, 1, -1, -1), colours, false, 1, 0);
    }
};

// Pixels close to the colour of the bottom-left corner become transparent. The picture is
// a JPEG, so the background is matched within a tolerance rather than exactly.
QPixmap WithCornerTransparent(const QImage& picture) {
    if (picture.isNull()) return {};
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const QColor key = image.pixelColor(0, image.height() - 1);
    constexpr int kTolerance = 24;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            if (std::abs(qRed(p) - key.red()) <= kTolerance &&
                std::abs(qGreen(p) - key.green()) <= kTolerance &&
                std::abs(qBlue(p) - key.blue()) <= kTolerance)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(image);
}

QLabel* Picture(QWidget* parent, const char* name, QPoint at, const QPixmap& pixmap) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setPixmap(pixmap);
    label->setAlignment(Qt::AlignCenter);
    label->move(at);
    label->resize(pixmap.size());
    return label;
}

QLabel* Text(QWidget* parent, const char* name, QPoint at, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(colours);
    label->move(at);
    label->adjustSize();
    return label;
}

QFont Face(const QString& family, int pixels, bool bold = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

THyperLinkLabel* Link(QWidget* parent, AddressOpener& opener, const char* name, QPoint at,
                      std::string_view caption, std::string_view url) {
    auto* link = new THyperLinkLabel(parent, opener);
    link->setObjectName(QString::fromLatin1(name));
    link->move(at);
    link->SetCaption(caption);
    link->SetURL(url);
    return link;
}

}  // namespace

TForm2::TForm2(QWidget* parent, AddressOpener& opener)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QtText(window_text::kAboutCaption));
    setFixedSize(kClientWidth, kClientHeight);
    // Closing it while the main window is hidden in the tray must not end the application.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(Face(QStringLiteral("MS Sans Serif"), 11));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);

    auto* panel = new BevelPanel(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(rect());

    Picture(panel, "ProgramIcon", {20, 8},
            WithCornerTransparent(LoadJpeg(QStringLiteral(":/pictures/about_program.jpg"))));
    Text(panel, "ProductName", {96, 16}, QtText(window_text::kProductName),
         Face(QtText(window_text::kSongFace), 12, true));
    Text(panel, "Version", {216, 14}, QtText(window_text::kVersionLabel),
         Face(QStringLiteral("Arial"), 13));
    Picture(panel, "Image1", {20, 72},
            QPixmap::fromImage(LoadJpeg(QStringLiteral(":/pictures/about_banner.jpg"))));
    const std::string home_page = ToGbk(HomePageAddress().toString());
    Link(panel, opener, "HyperLinkLabel1", {16, 104}, home_page, home_page);
    Link(panel, opener, "HyperLinkLabel2", {16, 130},
         ToGbk(QtText(window_text::kContactLinkCaption)), ToGbk(ContactAddress().toString()));
}

void TForm2::showEvent(QShowEvent* event) {
    // Centred on the screen at every showing.
    if (!event->spontaneous()) {
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

}  // namespace haojian
