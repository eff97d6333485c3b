// The result list as the user meets it: keys, selection, long texts, copying rows, its menu,
// and a list file dropped on the window.
#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include "shell/application.h"
#include "shell/result_list_menu.h"
#include "shell/result_list_view.h"
#include "shell/selected_row_ranges.h"
#include "shell/statistics_window.h"
#include "tests/shell/support/window_harness.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

namespace {

std::string Numbers(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += "1380010" + std::to_string(1000 + i) + "\r\n";
    return list;
}

QMimeData* FileData(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

// Drags the data onto the widget and drops it there; gives whether the drag was taken.
bool DragAndDrop(QWidget* target, QMimeData* data) {
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return enter.isAccepted();
}

}  // namespace

class ResultListTest : public QObject {
    Q_OBJECT

    ResultListView* List(WindowHarness& h) { return h.Find<ResultListView>("ListView1"); }

private slots:
    void initTestCase() { SetUpApplication(); }

    // Keys move through the rows and select whole rows; the run keeps its last row in view.
    void KeysSelectionAndScrolling() {
        WindowHarness h;
        TForm1& w = h.Open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        h.Import(Numbers(500));
        QVERIFY(h.QueryToEnd());
        ResultListView* list = List(h);
        QCOMPARE(list->model()->rowCount(), 500);
        const int visible = list->VisibleRowCount();
        QVERIFY(visible > 5);
        QCOMPARE(list->FirstVisibleRow() + visible, 500);  // scrolled to the last row

        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(list->currentIndex().row(), 0);
        QCOMPARE(list->FirstVisibleRow(), 0);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(list->selectionModel()->selectedRows().size(), 3);
        QCOMPARE(list->selectionModel()->selectedRows(3).first().row(), 1);
        QTest::keyClick(list, Qt::Key_PageDown);
        QCOMPARE(list->currentIndex().row(), 3 + visible);
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(list->currentIndex().row(), 499);
        QCOMPARE(list->FirstVisibleRow() + visible, 500);

        // A click on a cell picks its row, wherever the list is scrolled.
        list->verticalScrollBar()->setValue(100);
        const QModelIndex cell = list->model()->index(104, 2);
        const QRect rect = list->visualRect(cell);
        QCOMPARE(list->indexAt(rect.center()), cell);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(list->selectionModel()->selectedRows().first().row(), 104);
    }

    // A very long line is shown as a bounded prefix; copying takes it whole.
    void LongTextShownShortCopiedWhole() {
        WindowHarness h;
        TForm1& w = h.Open();
        std::string line = "13800101234";
        while (line.size() < 2000000) line += ",13800101234";
        h.Import("13300001111\r\n" + line + "\r\n");
        QVERIFY(h.QueryToEnd());
        ResultListView* list = List(h);
        const QString shown = list->model()->index(1, 0).data().toString();
        QVERIFY(shown.size() < 600);
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(QString::fromStdString(line).startsWith(shown.chopped(1)));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        list->selectAll();
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), u"13300001111\t重庆\t重庆\t联通\n"_s +
                                                               QString::fromStdString(line) +
                                                               u"\t江苏\t南京\t移动\n"_s);
    }

    // The right-click menu: copy the selected rows in list order, select all, statistics, and
    // the split export.
    void MenuCopySelectAllStatistics() {
        WindowHarness h;
        TForm1& w = h.Open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        h.Import("13800101234\r\n18900001111\r\n17000002222\r\n17400003333\r\n");
        QVERIFY(h.QueryToEnd());
        ResultListView* list = List(h);
        // Rows picked bottom-up, one of them twice.
        auto* selection = list->selectionModel();
        const auto pick = [&](int row) {
            selection->select(list->model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        };
        pick(3);
        pick(0);
        pick(2);
        pick(3);

        QMetaObject::invokeMethod(list, "customContextMenuRequested", Q_ARG(QPoint, QPoint(5, 5)));
        auto* menu = list->findChild<QMenu*>(u"ListView1Menu"_s);
        QVERIFY(menu && menu->isVisible());
        QStringList items;
        for (QAction* action : menu->actions()) items << action->text();
        QCOMPARE(items, QStringList({u"复制"_s, u"全选"_s, QString(), u"统计..."_s,
                                     u"分类导出..."_s, QString(), u"导入文本列表时整理号码"_s}));
        menu->actions()[0]->trigger();
        menu->close();
        QTRY_COMPARE(QGuiApplication::clipboard()->text(),
                     u"13800101234\t江苏\t南京\t移动\n17000002222\t西藏\t拉萨\t虚拟\n"
                     u"17400003333\t未知\t未知\t未知\n"_s);

        list->setFocus();
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(selection->selectedRows().size(), 4);

        QVERIFY(!w.Statistics());
        menu->actions()[3]->trigger();
        QTRY_VERIFY(w.Statistics() && w.Statistics()->isVisible());
        QCOMPARE(w.Statistics()->Statistics().provinces.total, std::size_t(4));

        TempDir out;
        h.dialogs.split_answers.push_back(SplitExportChoice{SplitField::kCard});
        h.dialogs.folder_answers.push_back(QString::fromStdString(out.path()));
        menu->actions()[4]->trigger();
        QCOMPARE(h.dialogs.folder_titles, std::vector<QString>{u"选择分类导出的文件夹"_s});
        QVERIFY(h.WaitUntilIdle());
        QCOMPARE(h.Status(6), u"分类导出完毕：4个文件，共4条"_s);
        QCOMPARE(ReadFileBytes(out.path() + "虚拟.txt"), "170000022**\r\n");
    }

    // The text is built off the UI thread under the busy pointer; a selection beyond the limit
    // is refused with a message and the clipboard keeps what it had.
    void CopyOffTheUiThreadAndLimited() {
        WindowHarness h;
        TForm1& w = h.Open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        std::string numbers;
        for (int i = 0; i < 10000; ++i)
            numbers += "1380010" + std::to_string(10000 + i).substr(1) + "\r\n";
        h.Import(numbers);
        QVERIFY(h.QueryToEnd());
        ResultListView* list = List(h);
        auto* menu = list->findChild<ResultListMenu*>(u"ResultListMenu"_s);
        QVERIFY(menu);
        QGuiApplication::clipboard()->setText(u"before"_s);

        list->selectAll();
        menu->CopySelectedRows();
        if (menu->Copying()) {
            QVERIFY(QApplication::overrideCursor());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
            // A second copy meanwhile is not started.
            menu->CopySelectedRows();
        }
        QTRY_VERIFY(!menu->Copying());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.count(u'\n'), 10000);
        QVERIFY(copied.startsWith(u"13800100000\t江苏\t南京\t移动\n"_s));

        menu->SetCopyLimit(9999);
        QGuiApplication::clipboard()->setText(u"before"_s);
        menu->CopySelectedRows();
        QVERIFY(!menu->Copying());
        const auto boxes = h.dialogs.BoxesOf(BoxKind::Plain);
        QVERIFY(!boxes.empty());
        // It points to what gives the full rows: the command line's look-up, not 导出.
        QVERIFY2(boxes.back().text.contains(u"10000"_s) &&
                     boxes.back().text.contains(u"haojian-cli lookup"_s),
                 qPrintable(boxes.back().text));
        QCOMPARE(QGuiApplication::clipboard()->text(), u"before"_s);
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        // Overlapping and out-of-range ranges are joined and cut.
        QItemSelection selection;
        selection.select(list->model()->index(5, 0), list->model()->index(9, 3));
        selection.select(list->model()->index(2, 0), list->model()->index(6, 0));
        selection.select(list->model()->index(10, 0), list->model()->index(10, 0));
        QCOMPARE(SelectedRowRanges(selection, 8), (std::vector<RowRange>{{2, 7}}));
        QCOMPARE(SelectedRowRanges(selection, 100), (std::vector<RowRange>{{2, 10}}));
        QCOMPARE(RowCount(SelectedRowRanges(selection, 100)), std::size_t(9));
    }

    // A list file dropped on the window is imported; nothing is taken during a run; several
    // files are refused with a message, and a drag of no file is left to the widgets.
    void DropAFileToImport() {
        WindowHarness h;
        TForm1& w = h.Open();
        const QString list = QString::fromStdString(h.dir.Write("dropped.txt", Numbers(3)));
        QWidget* viewport = List(h)->viewport();

        QVERIFY(DragAndDrop(viewport, FileData({list, list})));
        QCOMPARE(h.dialogs.boxes.size(), std::size_t(1));
        QVERIFY(!DragAndDrop(h.Find<QPlainTextEdit>("Memo2")->viewport(), new QMimeData));
        QCOMPARE(h.Status(1), QString());

        QVERIFY(DragAndDrop(viewport, FileData({list})));
        QCOMPARE(h.Status(1), u"3"_s);
        QCOMPARE(h.Status(6), u"导入查询数据！"_s);
        QVERIFY(h.dialogs.file_requests.empty());

        // During a run the drop is refused, as Import is.
        h.Import(Numbers(300000));
        h.Press("SpeedButton2");
        QVERIFY(!DragAndDrop(&w, FileData({list})));
        QCOMPARE(w.Run().NumberCount(), std::size_t(300000));
        h.Press("SpeedButton3");
        QVERIFY(h.WaitForWorker());

        // On the instructions, too, and a file that cannot be read is reported as Import does.
        QVERIFY(DragAndDrop(h.Find<QPlainTextEdit>("Memo2")->viewport(), FileData({list})));
        QCOMPARE(w.Run().NumberCount(), std::size_t(3));
        const QString gone = QString::fromStdString(h.dir.path() + "gone.txt");
        QVERIFY(DragAndDrop(&w, FileData({gone})));
        QCOMPARE(h.Errors().size(), 1);
        QVERIFY(h.Errors().first().contains(gone));
    }
};

QTEST_MAIN(ResultListTest)
#include "result_list_test.moc"
