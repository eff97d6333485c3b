// The dialogs and boxes as Qt shows them, and the dialogs the window asks for.
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "application.h"
#include "dialogs.h"
#include "window_harness.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

namespace {

// Answers the next modal box with a key, once it is up.
void PressInNextBox(int key) {
    QTimer::singleShot(0, [key] {
        PumpUntil([] { return QApplication::activeModalWidget() != nullptr; }, 5000);
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key(key));
    });
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { SetUpApplication(); }

    void ConfirmationBox() {
        const auto box =
            MakeMessageBox(nullptr, {BoxKind::Confirm, u"确认"_s, u"确认退出瓴岚号鉴吗?"_s});
        QCOMPARE(box->windowTitle(), u"确认"_s);
        QCOMPARE(box->icon(), QMessageBox::Question);
        const QList<QAbstractButton*> buttons = box->buttons();
        QCOMPARE(buttons.size(), 2);
        QAbstractButton* yes = box->defaultButton();
        QVERIFY(yes);
        QCOMPARE(yes->text(), u"是[&Y]"_s);
        QCOMPARE(box->escapeButton()->text(), u"否[&N]"_s);
    }

    void PlainAndErrorBoxes() {
        const auto plain = MakeMessageBox(nullptr, {BoxKind::Plain, ApplicationTitle(), u"x"_s});
        QCOMPARE(plain->icon(), QMessageBox::NoIcon);
        QCOMPARE(plain->buttons().size(), 1);
        QCOMPARE(plain->buttons()[0]->text(), u"确定"_s);
        QCOMPARE(plain->windowTitle(), u"【瓴岚号鉴】 V1.0"_s);
        const auto error = MakeMessageBox(nullptr, {BoxKind::Error, ApplicationTitle(), u"x"_s});
        QCOMPARE(error->icon(), QMessageBox::Critical);
        QCOMPARE(error->buttons().size(), 1);
    }

    // The real boxes: Enter takes the default Yes, Escape answers No.
    void ConfirmationKeys() {
        const BoxRequest request{BoxKind::Confirm, u"确认"_s, u"确认退出瓴岚号鉴吗?"_s};
        PressInNextBox(Qt::Key_Escape);
        QCOMPARE(DesktopDialogs().ShowBox(nullptr, request), Answer::No);
        PressInNextBox(Qt::Key_Return);
        QCOMPARE(DesktopDialogs().ShowBox(nullptr, request), Answer::Yes);
        PressInNextBox(Qt::Key_N);
        QCOMPARE(DesktopDialogs().ShowBox(nullptr, request), Answer::No);
    }

    void FileDialogs() {
        FileRequest open;
        open.kind = FileRequest::Kind::Open;
        open.title = u"导入手机号码列表文件"_s;
        open.name_filters = {u"Text files(*.txt)"_s, u"All files(*)"_s};
        open.default_suffix = u"txt"_s;
        auto dialog = MakeFileDialog(nullptr, open);
        QCOMPARE(dialog->windowTitle(), open.title);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
        // A typed name of a file that is not there is taken; the import then reports it.
        QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);
        QCOMPARE(dialog->nameFilters(), open.name_filters);
        QCOMPARE(dialog->selectedNameFilter(), open.name_filters[0]);
        QCOMPARE(dialog->defaultSuffix(), u"txt"_s);

        FileRequest many = open;
        many.kind = FileRequest::Kind::OpenMany;
        QCOMPARE(MakeFileDialog(nullptr, many)->fileMode(), QFileDialog::ExistingFiles);

        FileRequest save = open;
        save.kind = FileRequest::Kind::Save;
        save.file_name = u"北京.txt"_s;
        dialog = MakeFileDialog(nullptr, save);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(dialog->selectedFiles().value(0).endsWith(u"/北京.txt"_s));
    }

    void ImportDialogOfTheWindow() {
        WindowHarness h;
        h.Open();
        h.Press("SpeedButton4");  // cancelled
        QCOMPARE(h.dialogs.file_requests.size(), std::size_t(1));
        const FileRequest& r = h.dialogs.file_requests[0];
        QCOMPARE(r.kind, FileRequest::Kind::Open);
        QCOMPARE(r.title, u"导入手机号码列表文件"_s);
        QCOMPARE(r.directory, QString::fromStdString(h.dir.path()));
        QCOMPARE(r.name_filters, (QStringList{u"Text files(*.txt)"_s, u"All files(*)"_s}));
        QCOMPARE(r.default_suffix, u"txt"_s);
        QCOMPARE(h.Status(6), h.window().StatusText(6));
        QCOMPARE(h.Status(1), QString());
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
