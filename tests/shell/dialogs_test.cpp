// Qt's dialogs and boxes as the seam builds them.
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

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpApplication(); }

    // The real confirmation box: Enter takes the default Yes; Escape and N answer No.
    void ConfirmationKeys() {
        const BoxRequest request{BoxKind::Confirm, u"确认"_s, u"确认退出瓴岚号鉴吗?"_s};
        for (auto [key, answer] :
             {std::pair{Qt::Key_Escape, Answer::No}, std::pair{Qt::Key_Return, Answer::Yes},
              std::pair{Qt::Key_N, Answer::No}}) {
            QTimer::singleShot(0, [key = key] {
                PumpUntil([] { return QApplication::activeModalWidget() != nullptr; }, 5000);
                QTest::keyClick(QApplication::activeModalWidget(), key);
            });
            QCOMPARE(DesktopDialogs().ShowBox(nullptr, request), answer);
        }
        const auto box = MakeMessageBox(nullptr, request);
        QCOMPARE(box->icon(), QMessageBox::Question);
        QCOMPARE(box->defaultButton()->text(), u"是[&Y]"_s);
        QCOMPARE(box->escapeButton()->text(), u"否[&N]"_s);
        const auto error = MakeMessageBox(nullptr, {BoxKind::Error, ApplicationTitle(), u"x"_s});
        QCOMPARE(error->icon(), QMessageBox::Critical);
        QCOMPARE(error->buttons().size(), 1);
    }

    void FileDialogs() {
        FileRequest request;
        request.title = u"导入手机号码列表文件"_s;
        request.name_filters = {u"Text files(*.txt)"_s, u"All files(*)"_s};
        request.default_suffix = u"txt"_s;
        auto dialog = MakeFileDialog(nullptr, request);
        QCOMPARE(dialog->windowTitle(), request.title);
        // A typed name of a file that is not there is taken; the import then reports it.
        QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(dialog->selectedNameFilter(), request.name_filters[0]);
        QCOMPARE(dialog->defaultSuffix(), u"txt"_s);

        request.kind = FileRequest::Kind::OpenMany;
        QCOMPARE(MakeFileDialog(nullptr, request)->fileMode(), QFileDialog::ExistingFiles);

        request.kind = FileRequest::Kind::Save;
        request.file_name = u"北京.txt"_s;
        dialog = MakeFileDialog(nullptr, request);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(dialog->selectedFiles().value(0).endsWith(u"/北京.txt"_s));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
