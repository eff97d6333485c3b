#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include <vector>

#include "hyperlink_label.h"
#include "window_harness.h"

using haojian::THyperLinkLabel;
using haojian::testing::RecordingOpener;

namespace {

// Counts the repaints the label asks for.
class CountingLabel : public THyperLinkLabel {
public:
    using THyperLinkLabel::THyperLinkLabel;
    int repaints = 0;

protected:
    void Repaint() override {
        ++repaints;
        THyperLinkLabel::Repaint();
    }
};

void Enter(QWidget* widget) {
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(widget, &event);
}

void Leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

bool HasPixel(const QImage& image, QColor colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) return true;
    return false;
}

}  // namespace

class HyperLinkLabelTest : public QObject {
    Q_OBJECT

private slots:
    void EveryPaintFitsTheLabelToItsCaption() {
        RecordingOpener opener;
        QWidget parent;
        parent.resize(600, 100);
        THyperLinkLabel label(&parent, opener);
        QCOMPARE(label.size(), QSize(100, 10));  // until the first paint
        const QFontMetrics metrics(label.LabelFont());
        for (const char* caption : {"a much longer caption than the address", "x", ""}) {
            label.SetCaption(caption);
            label.grab();
            QCOMPARE(label.size(),
                     QSize(metrics.horizontalAdvance(QString(caption)) + 6, metrics.height() + 2));
        }
    }

    void SettersRepaintOnlyOnAChange() {
        RecordingOpener opener;
        CountingLabel label(nullptr, opener);
        label.SetCaption(label.Caption());
        label.SetColor(label.Color());
        label.SetFontName(label.FontName());
        label.SetURL("http://elsewhere.example/");
        QCOMPARE(label.repaints, 0);
        QCOMPARE(label.URL(), std::string("http://elsewhere.example/"));

        label.SetCaption("new");
        label.SetColor(Qt::white);
        label.SetFontName("Arial");
        QCOMPARE(label.repaints, 3);
        QCOMPARE(label.LabelFont().family(), QString("Arial"));
        label.SetFontName("Arial");
        QCOMPARE(label.repaints, 3);
    }

    void PressOpensTheAddressAndMarksTheLinkVisited() {
        RecordingOpener opener;
        THyperLinkLabel label(nullptr, opener);
        label.SetURL("mailto:someone@linglan.example");
        label.SetColor(Qt::white);

        Enter(&label);
        QCOMPARE(label.FontColor(), QColor(255, 0, 0));
        QVERIFY(HasPixel(label.grab().toImage(), QColor(255, 0, 0)));

        QTest::mousePress(&label, Qt::LeftButton);
        QTest::mouseRelease(&label, Qt::LeftButton);
        QCOMPARE(opener.opened.size(), std::size_t(1));
        QCOMPARE(opener.opened[0], QUrl("mailto:someone@linglan.example"));
        QCOMPARE(label.FontColor(), QColor(255, 0, 0));  // still under the pointer
        QCOMPARE(label.LinkColor(), QColor(255, 0, 255));

        Leave(&label);
        QCOMPARE(label.FontColor(), QColor(255, 0, 255));
        const QImage visited = label.grab().toImage();
        QVERIFY(HasPixel(visited, QColor(255, 0, 255)));
        QVERIFY(!HasPixel(visited, QColor(255, 0, 0)));

        // Each press opens again; a right press and the second half of a double click do not.
        QTest::mousePress(&label, Qt::LeftButton);
        QTest::mouseRelease(&label, Qt::LeftButton);
        QTest::mousePress(&label, Qt::RightButton);
        QTest::mouseDClick(&label, Qt::LeftButton);
        QCOMPARE(opener.opened.size(), std::size_t(2));

        Enter(&label);
        Leave(&label);
        QCOMPARE(label.FontColor(), QColor(255, 0, 255));  // visited for good
    }
};

QTEST_MAIN(HyperLinkLabelTest)
#include "hyperlink_label_test.moc"
