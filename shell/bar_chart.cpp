#include "shell/bar_chart.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "window/statistics_view.h"

namespace haojian {
namespace {

constexpr int kMargin = 8;
constexpr int kGap = 6;

}  // namespace

BarChart::BarChart(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void BarChart::SetBars(std::vector<Bar> bars) {
    bars_ = std::move(bars);
    updateGeometry();
    update();
}

int BarChart::LineHeight() const {
    return fontMetrics().height() + 6;
}

QSize BarChart::sizeHint() const {
    return {360, minimumSizeHint().height()};
}

QSize BarChart::minimumSizeHint() const {
    return {200, 2 * kMargin + int(bars_.size()) * LineHeight()};
}

void BarChart::paintEvent(QPaintEvent* event) {
    if (bars_.empty()) return;
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    int name_width = 0;
    int count_width = 0;
    std::size_t largest = 1;
    for (const auto& [name, count] : bars_) {
        name_width = std::max(name_width, metrics.horizontalAdvance(name));
        count_width = std::max(count_width, metrics.horizontalAdvance(QString::number(count)));
        largest = std::max(largest, count);
    }
    const int bar_left = kMargin + name_width + kGap;
    const int bar_room = std::max(1, width() - bar_left - kGap - count_width - kMargin);
    const int line = LineHeight();
    const QColor bar_colour = palette().color(QPalette::Highlight);
    painter.setPen(palette().color(QPalette::Text));
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        const int top = kMargin + int(i) * line;
        if (top > event->rect().bottom() || top + line < event->rect().top()) continue;
        const auto& [name, count] = bars_[i];
        painter.drawText(QRect(kMargin, top, name_width, line), Qt::AlignRight | Qt::AlignVCenter,
                         name);
        const int length = BarLength(count, largest, bar_room);
        painter.fillRect(bar_left, top + 3, length, line - 6, bar_colour);
        painter.drawText(QRect(bar_left + length + kGap, top, count_width, line),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::number(count));
    }
}

}  // namespace haojian
