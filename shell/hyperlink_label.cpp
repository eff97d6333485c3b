#include "shell/hyperlink_label.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>
#include <algorithm>

#include "shell/gbk_text.h"
#include "shell/maker.h"

namespace haojian {

THyperLinkLabel::THyperLinkLabel(QWidget* parent, AddressOpener& opener)
    : QWidget(parent), opener_(opener) {
    // A new label opens and shows the maker's home page.
    url_ = ToGbk(HomePageAddress().toString());
    caption_ = url_;
    resize(100, 10);
    font_ = QApplication::font();
    font_.setPointSize(8);
    font_.setBold(true);
    font_.setUnderline(true);
    link_color_ = kBlue;
    font_color_ = kBlue;
    SetColor(QApplication::palette().color(QPalette::Button));
    setCursor(Qt::PointingHandCursor);
    Repaint();
}

void THyperLinkLabel::SetURL(std::string_view url) {
    if (url != url_) url_ = std::string(url);
}

void THyperLinkLabel::SetCaption(std::string_view caption) {
    if (caption == caption_) return;
    caption_ = std::string(caption);
    Repaint();
}

void THyperLinkLabel::SetColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    Repaint();
}

void THyperLinkLabel::SetFontName(const QString& face) {
    if (face == font_name_) return;
    font_name_ = face;
    // An empty name keeps the application's face.
    font_.setFamily(face.isEmpty() ? QApplication::font().family() : face);
    Repaint();
}

void THyperLinkLabel::Repaint() {
    update();
}

bool THyperLinkLabel::event(QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Whether a handler took the address does not matter: the link counts as visited.
        opener_.OpenAddress(FromGbk(url_).toUtf8().toStdString());
        // The text stays red while the pointer is over it; leaving shows the new colour.
        link_color_ = kFuchsia;
    }
    return QWidget::event(event);
}

void THyperLinkLabel::paintEvent(QPaintEvent* event) {
    const QString text = FromGbk(caption_);
    const QFontMetrics metrics(font_);
    // The underline is drawn here rather than by the font: some faces put it below their
    // descent, where a label as high as the text would cut it off. The text's height takes
    // it in.
    const int underline_top = metrics.ascent() + std::max(1, metrics.underlinePos());
    const int underline_height = std::max(1, metrics.lineWidth());
    const int text_width = metrics.horizontalAdvance(text);
    const QSize fitted(text_width + 6,
                       std::max(metrics.height(), underline_top + underline_height) + 2);
    if (size() != fitted) resize(fitted);

    QPainter painter(this);
    painter.fillRect(event->rect(), color_);
    QFont plain = font_;
    plain.setUnderline(false);
    painter.setFont(plain);
    painter.setPen(font_color_);
    painter.drawText(QRect(QPoint(3, 1), fitted), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     text);
    if (font_.underline() && text_width > 0)
        painter.fillRect(3, 1 + underline_top, text_width, underline_height, font_color_);
}

void THyperLinkLabel::enterEvent(QEnterEvent* event) {
    CMMouseEnter();
    QWidget::enterEvent(event);
}

void THyperLinkLabel::leaveEvent(QEvent* event) {
    CMMouseLeave();
    QWidget::leaveEvent(event);
}

void THyperLinkLabel::CMMouseEnter() {
    font_color_ = kRed;
    Repaint();
}

void THyperLinkLabel::CMMouseLeave() {
    font_color_ = link_color_;
    Repaint();
}

}  // namespace haojian
