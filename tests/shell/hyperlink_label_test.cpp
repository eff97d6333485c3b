#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <vector>

#include "shell/application.h"
#include "shell/hyperlink_label.h"
#include "tests/shell/support/window_harness.h"

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
    // The application's Song face, whose underline lies below its descent.
    void initTestCase() { haojian::SetUpApplication(); }

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
            QCOMPARE(label.width(), metrics.horizontalAdvance(QString(caption)) + 6);
            // The text's height takes in its underline, which some faces draw below the descent.
            QCOMPARE(
                label.height(),
                std::max(metrics.height(), metrics.ascent() + std::max(1, metrics.underlinePos()) +
                                               std::max(1, metrics.lineWidth())) +
                    2);
        }
    }

    // The underline is drawn whole inside the label, in the application's Song face as in
    // others: a row of the link colour under the whole caption.
    void TheUnderlineShows() {
        RecordingOpener opener;
        for (const QString& face : {QString(), QString("DejaVu Sans")}) {
            THyperLinkLabel label(nullptr, opener);
            label.SetFontName(face);
            label.SetCaption("https://www.linglan.example/");
            label.grab();
            const QImage image = label.grab().toImage();
            bool underlined = false;
            for (int y = image.height() / 2; y < image.height() && !underlined; ++y) {
                int blue = 0;
                for (int x = 3; x < image.width() - 3; ++x)
                    blue += image.pixelColor(x, y) == THyperLinkLabel::kBlue;
                underlined = blue >= image.width() - 8;
            }
            QVERIFY2(underlined, qPrintable(label.LabelFont().family()));
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
