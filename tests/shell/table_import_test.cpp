// Importing workbooks through the Qt window, end to end: the file dialog's filters, the sheet
// and column dialogs answered through the dialogs' seam, the reading off the UI thread, the
// query over the cleaned numbers; and the list dialog itself, as a user meets it.
#include <QAbstractItemView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "shell/application.h"
#include "shell/list_choice_dialog.h"
#include "tests/shell/support/window_harness.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

namespace {

// 1380013 -> 江苏 南京 移动, 1891234 -> 北京 北京 电信.
constexpr char kDatabase[] = "138001305011\r\n189123401002\r\n";

QString Tables(const char* name) {
    return qEnvironmentVariable("HAOJIAN_TABLES") + u"/"_s + QString::fromLatin1(name);
}

QStringList RowTexts(QAbstractItemModel* model, int row) {
    QStringList texts;
    for (int c = 0; c < 4; ++c) texts << model->index(row, c).data().toString();
    return texts;
}

}  // namespace

class TableImportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpApplication(); }

    // openpyxl's workbook: two visible sheets (客户 taken), then its columns B and C both hold
    // numbers and the dialog is answered as Enter would (B); the rows are the cleaned numbers.
    void WorkbookThroughTheDialogs() {
        WindowHarness h{std::string(kDatabase)};
        h.Open();
        auto* model = h.Find<QAbstractItemView>(u"ListView1"_s)->model();
        h.dialogs.file_answers.push_back({Tables("openpyxl.xlsx")});
        h.dialogs.list_answers = {std::size_t(0)};  // the column: none queued, the preselected
        h.Press(u"SpeedButton4"_s);
        const FileRequest& open = h.dialogs.file_requests.back();
        QCOMPARE(open.name_filters.first(), u"Text files(*.txt)"_s);
        QVERIFY(open.name_filters.contains(u"Excel workbooks(*.xlsx)"_s));
        QCOMPARE(open.name_filters.last(), u"All files(*)"_s);
        QVERIFY(h.WaitUntilIdle());
        QCOMPARE(h.dialogs.lists.size(), std::size_t(2));
        QCOMPARE(h.dialogs.lists[1].preselected, std::size_t(1));
        QCOMPARE(h.Status(1), u"6"_s);
        QCOMPARE(h.Status(6), u"导入查询数据！号码列: B (手机)，无号码 0 条"_s);
        QVERIFY(h.QueryToEnd());
        QCOMPARE(model->rowCount(), 6);
        QCOMPARE(RowTexts(model, 0),
                 (QStringList{u"13800138000"_s, u"江苏"_s, u"南京"_s, u"移动"_s}));
        QCOMPARE(RowTexts(model, 5), (QStringList{u"13800138000"_s, u"江苏"_s, u"南京"_s,
                                                  u"移动"_s}));  // row 8's number cell
        QVERIFY(h.Errors().isEmpty());

        // LibreOffice's workbook: one sheet, column C taken; the untidy texts are cleaned.
        h.dialogs.file_answers.push_back({Tables("libreoffice.xlsx")});
        h.dialogs.list_answers = {std::size_t(2)};
        h.Press(u"SpeedButton4"_s);
        QVERIFY(h.WaitUntilIdle());
        QCOMPARE(h.dialogs.lists.size(), std::size_t(3));
        QCOMPARE(h.Status(6), u"导入查询数据！号码列: C (其他号码)，无号码 1 条"_s);
        QVERIFY(h.QueryToEnd());
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(RowTexts(model, 3).first(), u"18612345678"_s);
        QCOMPARE(RowTexts(model, 4), (QStringList{u"无"_s, u"未知"_s, u"未知"_s, u"未知"_s}));
    }

    // The result list's menu turns the clean-up of text lists on and off.
    void CleanItemInTheListMenu() {
        WindowHarness h{std::string(kDatabase)};
        h.Open();
        auto* menu =
            h.Find<QAbstractItemView>(u"ListView1"_s)->findChild<QMenu*>(u"ListView1Menu"_s);
        QAction* clean = menu->findChild<QAction*>(u"CleanLists"_s);
        if (!clean) {
            for (QAction* action : menu->actions())
                if (action->objectName() == u"CleanLists"_s) clean = action;
        }
        QVERIFY(clean && clean->isCheckable() && !clean->isChecked());
        h.Import("+86 138-0013-8000\r\n");
        QCOMPARE(h.Status(6), u"导入查询数据！"_s);
        clean->trigger();
        h.Import("+86 138-0013-8000\r\n");
        QVERIFY(h.WaitUntilIdle());
        QCOMPARE(h.Status(6), u"导入查询数据！整理 1 条，无号码 0 条"_s);
        QCOMPARE(h.window().Run().Number(0), std::string_view("13800138000"));
    }

    // The dialog shows every cell whole, the preselected row chosen: Enter takes it, a click
    // on another row and 确定 take that one, Escape takes none.
    void ListDialogAsShown() {
        ListChoice choice;
        choice.title = u"选择号码列";
        choice.prompt = u"表格中有几列都含有手机号码，请选择要查询的一列：";
        choice.headings = {u"列", u"表头", u"前几个值", u"含号码"};
        choice.rows = {{u"A", u"姓名", u"张三、李四、王五", u"0/5"},
                       {u"B", u"手机", u"13800138000、13912345678、15000000000", u"5/5"},
                       {u"C", u"其他号码", u"+86 138-0013-8000、0086 139 1234 5678", u"4/5"}};
        choice.preselected = 1;
        for (int answer = 0; answer < 3; ++answer) {
            ListChoiceDialog dialog(nullptr, choice);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            auto* list = dialog.findChild<QTreeWidget*>(u"ChoiceList"_s);
            QVERIFY(list && dialog.findChild<QLabel*>(u"ChoicePrompt"_s));
            QCOMPARE(dialog.windowTitle(), u"选择号码列"_s);
            QCOMPARE(list->indexOfTopLevelItem(list->currentItem()), 1);
            int widths = 0;
            for (int c = 0; c < 4; ++c) {
                widths += list->columnWidth(c);
                QVERIFY(list->columnWidth(c) >=
                        list->fontMetrics().horizontalAdvance(list->topLevelItem(1)->text(c)));
            }
            QVERIFY(widths <= list->viewport()->width());
            QVERIFY(dialog.width() < 900);
            if (answer == 0) {
                QTest::keyClick(list, Qt::Key_Return);
                QCOMPARE(dialog.result(), int(QDialog::Accepted));
                QCOMPARE(dialog.Chosen(), std::size_t(1));
            } else if (answer == 1) {
                list->setCurrentItem(list->topLevelItem(2));
                dialog.findChild<QPushButton*>(u"ChoiceOk"_s)->click();
                QCOMPARE(dialog.result(), int(QDialog::Accepted));
                QCOMPARE(dialog.Chosen(), std::size_t(2));
            } else {
                QTest::keyClick(list, Qt::Key_Escape);
                QCOMPARE(dialog.result(), int(QDialog::Rejected));
            }
        }
    }
};

QTEST_MAIN(TableImportTest)
#include "table_import_test.moc"
