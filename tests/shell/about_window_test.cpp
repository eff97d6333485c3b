#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "shell/about_window.h"
#include "shell/hyperlink_label.h"
#include "shell/maker.h"
#include "tests/shell/support/window_harness.h"

using haojian::TForm2;
using haojian::THyperLinkLabel;
using haojian::testing::RecordingOpener;

class AboutWindowTest : public QObject {
    Q_OBJECT

private slots:
    void PicturesAndLinks() {
        RecordingOpener opener;
        TForm2 form(nullptr, opener);
        // The compiled-in JPEG pictures decode at their designed sizes.
        auto* icon = form.findChild<QLabel*>("ProgramIcon");
        auto* banner = form.findChild<QLabel*>("Image1");
        QVERIFY(icon && banner);
        QCOMPARE(icon->pixmap().size(), QSize(66, 46));
        QCOMPARE(banner->pixmap().size(), QSize(188, 18));
        // The product picture's white background is keyed out; its drawing is not.
        const QImage picture = icon->pixmap().toImage();
        QCOMPARE(picture.pixelColor(0, 45).alpha(), 0);
        QCOMPARE(picture.pixelColor(19, 20).alpha(), 255);

        // The links open the home page and a mail to the maker.
        auto* home = form.findChild<THyperLinkLabel*>("HyperLinkLabel1");
        auto* mail = form.findChild<THyperLinkLabel*>("HyperLinkLabel2");
        QVERIFY(home && mail);
        QTest::mouseClick(home, Qt::LeftButton);
        QTest::mouseClick(mail, Qt::LeftButton);
        QCOMPARE(opener.opened.size(), std::size_t(2));
        QCOMPARE(opener.opened[0], haojian::HomePageAddress());
        QCOMPARE(opener.opened[1], haojian::ContactAddress());
    }

    void ClosingHidesTheWindowForTheNextShowing() {
        RecordingOpener opener;
        TForm2 form(nullptr, opener);
        for (int showing = 0; showing < 2; ++showing) {
            bool was_modal = false;
            QTimer::singleShot(0, [&] {
                was_modal = QApplication::activeModalWidget() == &form;
                form.close();
            });
            form.exec();
            QVERIFY(was_modal);
            QVERIFY(form.isHidden());
        }
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
