#include "hyperlink_label.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>

#include "gbk_text.h"
#include "maker.h"

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
        (void)opener_.Open(QUrl(FromGbk(url_), QUrl::TolerantMode));
        // The text stays red while the pointer is over it; leaving shows the new colour.
        link_color_ = kFuchsia;
    }
    return QWidget::event(event);
}

void THyperLinkLabel::paintEvent(QPaintEvent* event) {
    const QString text = FromGbk(caption_);
    const QFontMetrics metrics(font_);
    const QSize fitted(metrics.horizontalAdvance(text) + 6, metrics.height() + 2);
    if (size() != fitted) resize(fitted);

    QPainter painter(this);
    painter.fillRect(event->rect(), color_);
    painter.setFont(font_);
    painter.setPen(font_color_);
    painter.drawText(QRect(QPoint(3, 1), fitted), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     text);
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
