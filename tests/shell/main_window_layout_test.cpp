// The main window as it opens: layout, font, pictures, and the start with and without a
// database.
#include <QFontInfo>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QToolTip>
#include <QtTest>
#include <cerrno>

#include "shell/application.h"
#include "shell/result_list_view.h"
#include "tests/shell/support/window_harness.h"
#include "tests/support/faulty_file_system.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

class MainWindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpApplication(); }

    void Layout() {
        WindowHarness h;
        TForm1& w = h.Open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), u"【瓴岚号鉴】 V1.1"_s);
        // "宋体" must reach a Song (Ming) face, not the generic sans fallback.
        const QString face = QFontInfo(w.font()).family();
        QVERIFY2(face.contains(u"Ming"_s) || face == u"宋体"_s, qPrintable(face));
        QCOMPARE(QFontInfo(w.font()).pixelSize(), 12);

        // The five regions stacked in the 784 x 562 client area.
        QCOMPARE(h.Find<QWidget>("CoolBar1")->geometry(), QRect(0, 0, 784, 30));
        QCOMPARE(h.Find<QWidget>("Panel2")->geometry(), QRect(0, 30, 784, 35));
        QCOMPARE(h.Find<QWidget>("ListView1")->geometry(), QRect(0, 65, 784, 283));
        QCOMPARE(h.Find<QWidget>("Panel10")->geometry(), QRect(0, 348, 784, 195));
        QCOMPARE(h.Find<QWidget>("StatusBar1")->geometry(), QRect(0, 543, 784, 19));
        QCOMPARE(QApplication::focusWidget(), h.Find<QWidget>("ListView1"));
        auto* list = h.Find<ResultListView>("ListView1");
        QCOMPARE(list->horizontalHeader()->sectionSize(0), 175);
        QCOMPARE(list->horizontalHeader()->sectionSize(3), 150);

        // Each button has its own glyph from the resources, with a greyed image.
        const QStringList buttons = {"SpeedButton4", "SpeedButton2", "SpeedButton3",
                                     "SpeedButton5", "SpeedButton1", "SpeedButton6",
                                     "SpeedButton9", "SpeedButton10"};
        QSet<qint64> glyphs;
        for (int i = 0; i < buttons.size(); ++i) {
            QToolButton* b = h.Button(buttons[i]);
            QCOMPARE(b->geometry(), QRect(2 + 60 * i, 2, 55, 23));
            const QImage normal = b->icon().pixmap(16, 16, QIcon::Normal).toImage();
            const QImage greyed = b->icon().pixmap(16, 16, QIcon::Disabled).toImage();
            QCOMPARE(normal.size(), QSize(16, 16));
            QVERIFY(!greyed.isNull() && normal != greyed);
            glyphs.insert(normal.cacheKey());
        }
        QCOMPARE(glyphs.size(), buttons.size());

        // The two JPEG pictures decoded whole and centred in their panels.
        for (const char* name : {"Image1", "Image2"}) {
            auto* image = h.Find<QLabel>(name);
            QCOMPARE(image->pixmap().size(), QSize(176, 176));
            QCOMPARE(image->geometry().size(), QSize(176, 176));
        }
        QCOMPARE(h.Find<QWidget>("Memo2")->width(), 784 - 4 - 2 * 176);
        QCOMPARE(h.Find<QWidget>("StatusPanel5")->geometry().right(), 5 * 2 + 3 * 88 + 3 * 70 - 1);
        QVERIFY(h.Find<QWidget>("StatusPanel6")->geometry().right() > 740);
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0, 255, 0));
    }

    // Tab walks every control of the window and comes back, the instructions memo included;
    // Shift+Tab walks the same way back. Neither types into the memo.
    void FocusOrder() {
        WindowHarness h;
        TForm1& w = h.Open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* memo = h.Find<QPlainTextEdit>("Memo2");
        const QString text = memo->toPlainText();
        const auto walk = [&](Qt::Key key) {
            QStringList visited;
            h.Find<QWidget>("ListView1")->setFocus();
            for (int i = 0; i < 12; ++i) {
                QTest::keyClick(QApplication::focusWidget(), key);
                QWidget* focus = QApplication::focusWidget();
                QWidget* named = focus;
                while (named && named->objectName().isEmpty()) named = named->parentWidget();
                visited << (named ? named->objectName() : QString());
                if (visited.back() == u"ListView1"_s) break;
            }
            return visited;
        };
        const QStringList forward = walk(Qt::Key_Tab);
        QCOMPARE(forward, QStringList({"Memo2", "ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4",
                                       "ListView1"}));
        QStringList back = walk(Qt::Key_Backtab);
        std::reverse(back.begin(), back.end() - 1);
        QCOMPARE(back, forward);
        QCOMPARE(memo->toPlainText(), text);
    }

    void StartWithDatabase_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("panel");
        QTest::newRow("four lines") << true << QByteArray(kTestDatabase) << u"4"_s;
        QTest::newRow("empty") << true << QByteArray() << u"0"_s;
        QTest::newRow("missing") << false << QByteArray() << QString();
    }
    void StartWithDatabase() {
        QFETCH(bool, present);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, panel);
        WindowHarness h{present ? std::optional(bytes.toStdString()) : std::nullopt};
        h.Open();
        QCOMPARE(h.Status(5), panel);
        QCOMPARE(h.window().Run().DatabaseLoaded(), present);
        if (present) {
            QVERIFY(h.dialogs.boxes.empty());
            return;
        }
        // The reminder, once; then Query is refused for the database whatever the list holds.
        QCOMPARE(h.dialogs.boxes.size(), std::size_t(1));
        QCOMPARE(h.dialogs.boxes[0].kind, BoxKind::Plain);
        QCOMPARE(h.dialogs.boxes[0].caption, u"【瓴岚号鉴】 V1.0"_s);
        QCOMPARE(h.dialogs.boxes[0].text, u"提醒：程序目录下没有检测到号码段数据库文件！"_s);
        h.Import("13800100000\r\n");
        h.Press("SpeedButton2");
        QCOMPARE(h.Errors(), QStringList{u"程序目录下无号码段数据库文件！."_s});
        QVERIFY(!h.window().Run().WorkerAlive());
    }

    void StartWithUnreadableDatabase() {
        WindowHarness h;
        FaultyFileSystem files;
        files.FailAt(FaultyFileSystem::Op::Open, 1, EACCES);
        h.Open(files);
        const QStringList errors = h.Errors();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(QString::fromStdString(h.dir.path() + "kelvaronset.dat")),
                 qPrintable(errors[0]));
        QCOMPARE(h.Status(5), QString());
        QVERIFY(!h.window().Run().DatabaseLoaded());
    }

    void HomePageAndContact() {
        WindowHarness h;
        h.Open();
        h.Press("SpeedButton6");
        h.window().N14Click();
        QCOMPARE(h.opener.opened.size(), std::size_t(2));
        QCOMPARE(h.opener.opened[0].scheme(), u"https"_s);
        QCOMPARE(h.opener.opened[1].scheme(), u"mailto"_s);
    }
};

QTEST_MAIN(MainWindowLayoutTest)
#include "main_window_layout_test.moc"
