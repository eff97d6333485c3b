#pragma once

#include <QString>
#include <QWidget>
#include <cstddef>
#include <utility>
#include <vector>

namespace haojian {

// Horizontal bars, one a line in the order given: the name, a bar as long as its count against
// the largest, and the count. As high as its bars need; put it in a scroll area.
class BarChart : public QWidget {
    Q_OBJECT
public:
    using Bar = std::pair<QString, std::size_t>;
    explicit BarChart(QWidget* parent = nullptr);

    void SetBars(std::vector<Bar> bars);
    const std::vector<Bar>& Bars() const { return bars_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int LineHeight() const;

    std::vector<Bar> bars_;
};

}  // namespace haojian
