// Qt's dialogs and boxes as the seam builds them.
#include <QFileDialog>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "shell/application.h"
#include "shell/dialogs.h"
#include "shell/existing_files_dialog.h"
#include "shell/main_window.h"
#include "shell/split_export_dialog.h"
#include "tests/shell/support/window_harness.h"
#include "tests/support/test_files.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpApplication(); }

    // The split export's dialog shows the proposed choice, gives what is clicked, and the
    // folder dialog picks folders only.
    void SplitExportAndFolder() {
        const SplitExportChoice proposed{SplitField::kCity, SplitExportChoice::Into::OneWorkbook};
        SplitExportDialog dialog(nullptr, proposed);
        QCOMPARE(dialog.Chosen(), proposed);
        dialog.findChild<QRadioButton*>(u"SplitField2"_s)->click();
        dialog.findChild<QRadioButton*>(u"SplitInto1"_s)->click();
        QCOMPARE(dialog.Chosen(),
                 (SplitExportChoice{SplitField::kCard, SplitExportChoice::Into::CsvFiles}));
        QCOMPARE(dialog.layout()->sizeConstraint(), QLayout::SetFixedSize);

        const auto folder = MakeFolderDialog(nullptr, u"选择分类导出的文件夹"_s, u"/tmp"_s);
        QCOMPARE(folder->fileMode(), QFileDialog::Directory);
        QVERIFY(folder->testOption(QFileDialog::ShowDirsOnly));
    }

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
        // A short message still leaves room for the whole caption in the title bar.
        error->show();
        QVERIFY(error->width() >= CaptionWidth(ApplicationTitle()));
        QVERIFY(CaptionWidth(ApplicationTitle()) >
                QFontMetrics(QApplication::font()).horizontalAdvance(ApplicationTitle()) + 100);
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
        // Qt's own dialog with its Chinese texts, whatever the desktop's platform theme offers.
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));

        request.kind = FileRequest::Kind::OpenMany;
        QCOMPARE(MakeFileDialog(nullptr, request)->fileMode(), QFileDialog::ExistingFiles);

        request.kind = FileRequest::Kind::Save;
        request.file_name = u"北京.txt"_s;
        dialog = MakeFileDialog(nullptr, request);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(dialog->selectedFiles().value(0).endsWith(u"/北京.txt"_s));

        // A typed name gets the suffix of the filter the user selects; all files, the default.
        request.name_filters = {u"Text files(*.txt)"_s, u"All files(*)"_s,
                                u"Excel workbooks(*.xlsx)"_s};
        request.filter_suffixes = {u"txt"_s, QString(), u"xlsx"_s};
        dialog = MakeFileDialog(nullptr, request);
        auto* types = dialog->findChild<QComboBox*>(u"fileTypeCombo"_s);
        QVERIFY(types);
        types->setCurrentIndex(2);
        emit types->textActivated(types->itemText(2));
        QCOMPARE(dialog->defaultSuffix(), u"xlsx"_s);
        types->setCurrentIndex(1);
        emit types->textActivated(types->itemText(1));
        QCOMPARE(dialog->defaultSuffix(), u"txt"_s);
    }

    // Every name typed into the merge's open dialog must be an existing file, and every one is
    // chosen, not only those the dialog could highlight.
    void SeveralTypedNames() {
        QCOMPARE(ExistingFilesDialog::TypedNames(u"\"a.txt\" \"b c.txt\""_s),
                 QStringList({u"a.txt"_s, u"b c.txt"_s}));
        QCOMPARE(ExistingFilesDialog::TypedNames(u"x y.txt"_s), QStringList{u"x y.txt"_s});
        QVERIFY(ExistingFilesDialog::TypedNames(QString()).isEmpty());

        TempDir dir;
        const std::string a = dir.Write("a.txt", "1\r\n");
        const std::string b = dir.Write("b.txt", "2\r\n");
        FileRequest request;
        request.kind = FileRequest::Kind::OpenMany;
        request.directory = QString::fromStdString(dir.path());
        request.default_suffix = u"txt"_s;
        const auto made = MakeFileDialog(nullptr, request);
        auto* dialog = qobject_cast<ExistingFilesDialog*>(made.get());
        QVERIFY(dialog);
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFiles);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        dialog->show();
        auto* names = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
        QVERIFY(names);
        // Typed names stand in the box while it has the focus; the list's highlight follows them.
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        names->setFocus();

        QString warned;
        QTimer::singleShot(0, [&] {
            PumpUntil([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
                      5000);
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            warned = box->text();
            box->close();
        });
        names->setText(u"\"a.txt\" \"nosuch.txt\""_s);
        dialog->accept();
        QVERIFY2(warned.contains(u"nosuch.txt"_s), qPrintable(warned));
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));

        // A name without its suffix finds the file with the default one.
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        names->setFocus();
        names->setText(u"\"b\" \"a.txt\""_s);
        dialog->accept();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(dialog->Chosen(),
                 QStringList({QString::fromStdString(b), QString::fromStdString(a)}));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
