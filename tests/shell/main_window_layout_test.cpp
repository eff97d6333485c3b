// The main window as it opens: its controls, texts, pictures and the start-up with and without
// a database.
#include <QFontInfo>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QtTest>
#include <cerrno>

#include "application.h"
#include "built_in_code_rows.h"
#include "faulty_file_system.h"
#include "gbk_text.h"
#include "window_harness.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

class MainWindowLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { SetUpApplication(); }

    void CaptionTitleAndFont() {
        WindowHarness h;
        TForm1& w = h.Open();
        QCOMPARE(w.windowTitle(), QStringLiteral(u"【瓴岚号鉴】 V1.1"));
        QCOMPARE(QApplication::applicationName(), QStringLiteral(u"【瓴岚号鉴】 V1.0"));
        QCOMPARE(w.size(), QSize(784, 562));
        QCOMPARE(w.font().family(), QStringLiteral(u"宋体"));
        QCOMPARE(w.font().pixelSize(), 12);
        // "宋体" must reach a Song (Ming) face, not the generic sans fallback.
        const QString face = QFontInfo(w.font()).family();
        QVERIFY2(face.contains(QStringLiteral("Ming")) || face == QStringLiteral(u"宋体") ||
                     face == QStringLiteral("SimSun"),
                 qPrintable(face));
        QVERIFY(!w.windowIcon().isNull());
    }

    void ToolBarButtons() {
        WindowHarness h;
        h.Open();
        const QStringList names = {"SpeedButton4", "SpeedButton2", "SpeedButton3", "SpeedButton5",
                                   "SpeedButton1", "SpeedButton6", "SpeedButton9", "SpeedButton10"};
        const QStringList captions = {u"导入"_s, u"查询"_s, u"终止"_s, u"导出"_s,
                                      u"合并"_s, u"主页"_s, u"关于"_s, u"退出"_s};
        const QStringList tips = {u"导入关键字列表"_s, u"开始手机搜索"_s, u"终止手机搜索"_s,
                                  u"保存搜索结果"_s,   u"合并数据文件"_s, u"访问软件主页"_s,
                                  u"关于本软件"_s,     u"退出软件系统"_s};
        for (int i = 0; i < names.size(); ++i) {
            QToolButton* b = h.Button(names[i]);
            QVERIFY2(b, qPrintable(names[i]));
            QCOMPARE(b->text(), captions[i]);
            QCOMPARE(b->toolTip(), tips[i]);
            QCOMPARE(b->geometry(), QRect(2 + 60 * i, 2, 55, 23));
            QVERIFY(b->autoRaise());
            QVERIFY(b->isEnabled());
            // A glyph of its own for both states: the greyed one differs from the normal one.
            const QImage normal = b->icon().pixmap(16, 16, QIcon::Normal).toImage();
            const QImage greyed = b->icon().pixmap(16, 16, QIcon::Disabled).toImage();
            QCOMPARE(normal.size(), QSize(16, 16));
            QVERIFY(!greyed.isNull());
            QVERIFY(normal != greyed);
        }
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0, 255, 0));
    }

    void FilterStrip() {
        WindowHarness h;
        h.Open();
        QCOMPARE(h.Find<QLabel>("Label2")->text(), u"导出选项："_s);
        QCOMPARE(h.Find<QLabel>("Label1")->text(), u"导出字段："_s);
        const QStringList boxes = {"ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4"};
        const QList<int> xs = {72, 232, 392, 608};
        const QStringList texts = {u"任意省份"_s, u"任意城市"_s, u"任意卡类"_s, u"手机号码"_s};
        for (int i = 0; i < boxes.size(); ++i) {
            QComboBox* box = h.Box(boxes[i]);
            QVERIFY(box->isEditable());
            QCOMPARE(box->geometry(), QRect(xs[i], 8, 145, 20));
            QCOMPARE(box->currentText(), texts[i]);
            QCOMPARE(box->currentIndex(), -1);
        }
        QVERIFY(h.Items("ComboBox1").isEmpty());
        QVERIFY(h.Items("ComboBox2").isEmpty());
        QCOMPARE(h.Items("ComboBox3"), (QStringList{u"任意卡类"_s, u"移动"_s, u"电信"_s, u"联通"_s,
                                                    u"虚拟"_s, u"未知"_s}));
        QCOMPARE(
            h.Items("ComboBox4"),
            (QStringList{u"手机号码"_s, u"手机号码+省份"_s, u"手机号码+城市"_s, u"手机号码+卡类"_s,
                         u"手机号码+省份+卡类"_s, u"手机号码+城市+卡类"_s}));
    }

    void RegionsListAndBottomPanel() {
        WindowHarness h;
        TForm1& w = h.Open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(h.Find<QWidget>("CoolBar1")->geometry(), QRect(0, 0, 784, 30));
        QCOMPARE(h.Find<QWidget>("Panel2")->geometry(), QRect(0, 30, 784, 35));
        QCOMPARE(h.Find<QWidget>("ListView1")->geometry(), QRect(0, 65, 784, 283));
        QCOMPARE(h.Find<QWidget>("Panel10")->geometry(), QRect(0, 348, 784, 195));
        QCOMPARE(h.Find<QWidget>("StatusBar1")->geometry(), QRect(0, 543, 784, 19));
        QCOMPARE(QApplication::focusWidget(), h.Find<QWidget>("ListView1"));

        auto* list = h.Find<QTableView>("ListView1");
        QCOMPARE(list->model()->columnCount(), 4);
        const QStringList heads = {u"手机号码"_s, u"省份"_s, u"城市"_s, u"卡类"_s};
        const QList<int> widths = {175, 150, 150, 150};
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(list->model()->headerData(c, Qt::Horizontal).toString(), heads[c]);
            QCOMPARE(list->horizontalHeader()->sectionSize(c), widths[c]);
        }
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);

        for (const char* name : {"Image1", "Image2"}) {
            auto* image = h.Find<QLabel>(name);
            QCOMPARE(image->size(), QSize(176, 176));
            QCOMPARE(image->pixmap().size(), QSize(176, 176));
        }
        QCOMPARE(h.Find<QWidget>("Panel1")->width(), 176);
        QCOMPARE(h.Find<QWidget>("Panel3")->width(), 176);
        QCOMPARE(h.Find<QProgressBar>("ProgressBar1")->height(), 15);
        QCOMPARE(h.Find<QProgressBar>("ProgressBar1")->maximum(), 100);
        auto* memo = h.Find<QPlainTextEdit>("Memo2");
        QCOMPARE(memo->palette().color(QPalette::Base), QColor(192, 192, 192));
        const QStringList lines = memo->toPlainText().split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QString(20, ' ') + u"使 用 说 明："_s);
        QCOMPARE(lines[4], u"4：号码段数据库会定期更新，请访问网站或联系开发商获取最新数据库。"_s);

        const QList<int> panel_widths = {88, 70, 88, 70, 88, 70};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(h.Find<QWidget>(QStringLiteral("StatusPanel%1").arg(i))->width(),
                     panel_widths[i]);
        }
        QCOMPARE(h.Status(0), u"手机号码总数："_s);
        QCOMPARE(h.Status(2), u"号码查询进程："_s);
        QCOMPARE(h.Status(4), u"号码段数据库："_s);
        QVERIFY(!h.Status(6).isEmpty());
        QWidget* last = h.Find<QWidget>("StatusPanel6");
        QVERIFY(last->geometry().right() > 700);

        // The hidden code-table columns hold the built-in rows.
        QCOMPARE(h.Find<QObject>("Memo3")->property("lines").toStringList().size(), 32);
        QCOMPARE(h.Find<QObject>("Memo6")->property("lines").toStringList().value(384),
                 FromGbk(kBuiltInCityRows[384].name));
        auto* timer = h.Find<QTimer>("Timer1");
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(!timer->isActive());
    }

    void StartWithDatabase() {
        WindowHarness h;
        h.Open();
        QCOMPARE(h.Status(5), u"4"_s);
        QVERIFY(h.window().Run().DatabaseLoaded());
        QVERIFY(h.dialogs.boxes.empty());
    }

    void StartWithEmptyDatabase() {
        WindowHarness h{std::string()};
        h.Open();
        QCOMPARE(h.Status(5), u"0"_s);
        QVERIFY(h.window().Run().DatabaseLoaded());
        QVERIFY(h.dialogs.boxes.empty());
    }

    void StartWithoutDatabase() {
        WindowHarness h{std::nullopt};
        h.Open();
        QCOMPARE(h.dialogs.boxes.size(), std::size_t(1));
        const BoxRequest& reminder = h.dialogs.boxes[0];
        QCOMPARE(reminder.kind, BoxKind::Plain);
        QCOMPARE(reminder.caption, u"【瓴岚号鉴】 V1.0"_s);
        QCOMPARE(reminder.text, u"提醒：程序目录下没有检测到号码段数据库文件！"_s);
        QCOMPARE(h.Status(5), QString());
        QVERIFY(!h.window().Run().DatabaseLoaded());

        // Query is refused first for the missing database, whatever the list holds.
        h.Import("13800100000\r\n");
        h.Press("SpeedButton2");
        QCOMPARE(h.Errors(), QStringList{u"程序目录下无号码段数据库文件！."_s});
        QCOMPARE(h.dialogs.BoxesOf(BoxKind::Error)[0].caption, u"【瓴岚号鉴】 V1.0"_s);
        QVERIFY(h.Enabled("SpeedButton2"));
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
        QVERIFY(h.dialogs.BoxesOf(BoxKind::Plain).empty());
    }

    void HomePageAndContact() {
        WindowHarness h;
        h.Open();
        h.Press("SpeedButton6");
        h.window().N14Click();
        QCOMPARE(h.opener.opened.size(), std::size_t(2));
        QCOMPARE(h.opener.opened[0].scheme().left(4), u"http"_s);
        QCOMPARE(h.opener.opened[1].scheme(), u"mailto"_s);
    }
};

QTEST_MAIN(MainWindowLayoutTest)
#include "main_window_layout_test.moc"
