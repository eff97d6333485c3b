// Qt's standard dialogs read in Chinese whatever the locale, as the program's own texts do,
// while the program's own boxes keep their texts.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "shell/application.h"
#include "shell/dialogs.h"
#include "tests/shell/support/window_harness.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

namespace {

// Answers the import with a list and shows Qt's real dialog for everything else.
class RealSaveDialogs final : public Dialogs {
public:
    QString list;
    QStringList ChooseFiles(QWidget* parent, const FileRequest& request) override {
        if (request.kind == FileRequest::Kind::Open) return {list};
        return DesktopDialogs().ChooseFiles(parent, request);
    }
    Answer ShowBox(QWidget*, const BoxRequest&) override { return Answer::Yes; }
    QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) override {
        return DesktopDialogs().ChooseFolder(parent, title, start);
    }
    std::optional<SplitExportChoice> ChooseSplitExport(QWidget* parent,
                                                       const SplitExportChoice& proposed) override {
        return DesktopDialogs().ChooseSplitExport(parent, proposed);
    }
};

template <typename T>
T* ActiveModal() {
    PumpUntil([] { return qobject_cast<T*>(QApplication::activeModalWidget()) != nullptr; }, 5000);
    return qobject_cast<T*>(QApplication::activeModalWidget());
}

QString ButtonText(QDialogButtonBox* box, QDialogButtonBox::ButtonRole role) {
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == role) return button->text();
    }
    return {};
}

// What the export's dialog and its question before replacing a file showed.
struct Seen {
    QString title, accept, cancel, name_label, question, yes, no;
};

}  // namespace

class ChineseDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The English locale a user may have; Qt's texts must be Chinese all the same.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SetUpApplication();
    }

    // The export's save dialog, opened by the Export button after a run, and the question
    // it asks before it replaces an existing file.
    void ExportDialogAndItsQuestion() {
        TempDir dir;
        dir.Write("kelvaronset.dat", kTestDatabase);
        RealSaveDialogs dialogs;
        dialogs.list = QString::fromStdString(dir.Write("numbers.txt", "13800100000\r\n"));
        const QString existing = QString::fromStdString(dir.Write("old.txt", "keep\r\n"));
        RecordingOpener opener;
        TForm1 window(WindowSeams{dialogs, opener, RealFileSystem(), dir.path()});
        window.findChild<QToolButton*>(u"SpeedButton4"_s)->click();
        window.findChild<QToolButton*>(u"SpeedButton2"_s)->click();
        QVERIFY(PumpUntil([&] { return !window.Run().WorkerAlive(); }));

        Seen seen;
        QTimer::singleShot(0, [&] {
            QFileDialog* dialog = ActiveModal<QFileDialog>();
            if (!dialog) return;
            seen.title = dialog->windowTitle();
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            seen.accept = ButtonText(buttons, QDialogButtonBox::AcceptRole);
            seen.cancel = ButtonText(buttons, QDialogButtonBox::RejectRole);
            seen.name_label = dialog->findChild<QLabel*>(u"fileNameLabel"_s)->text();
            QTimer::singleShot(0, [&] {
                QMessageBox* question = ActiveModal<QMessageBox>();
                if (!question) return;
                seen.question = question->text();
                seen.yes = question->button(QMessageBox::Yes)->text();
                seen.no = question->button(QMessageBox::No)->text();
                question->button(QMessageBox::No)->click();
            });
            dialog->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(existing);
            for (QAbstractButton* button : buttons->buttons()) {
                if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) button->click();
            }
            dialog->reject();
        });
        window.findChild<QToolButton*>(u"SpeedButton5"_s)->click();

        QCOMPARE(seen.title, u"搜索结果保存为"_s);
        QCOMPARE(seen.accept, u"保存(&S)"_s);
        QCOMPARE(seen.cancel, u"取消"_s);
        QVERIFY2(seen.name_label.contains(u"文件名"_s), qPrintable(seen.name_label));
        QVERIFY2(seen.question.contains(u"old.txt"_s) && seen.question.contains(u"替换"_s),
                 qPrintable(seen.question));
        QVERIFY2(seen.yes.startsWith(u"是"_s) && seen.no.startsWith(u"否"_s),
                 qPrintable(seen.yes + u" / "_s + seen.no));
        // Answering No kept the file.
        QCOMPARE(ReadFileBytes(existing.toStdString()), std::string("keep\r\n"));
    }

    // The program's own boxes set their own button texts; the translation leaves them be.
    void OwnBoxesKeepTheirTexts() {
        const auto confirm = MakeMessageBox(nullptr, {BoxKind::Confirm, u"确认"_s, u"x"_s});
        QStringList texts;
        for (QAbstractButton* button : confirm->buttons()) texts << button->text();
        texts.sort();
        QCOMPARE(texts, (QStringList{u"否[&N]"_s, u"是[&Y]"_s}));
        const auto plain = MakeMessageBox(nullptr, {BoxKind::Plain, ApplicationTitle(), u"x"_s});
        QCOMPARE(plain->buttons().value(0)->text(), u"确定"_s);
        QCOMPARE(plain->windowTitle(), ApplicationTitle());
    }
};

QTEST_MAIN(ChineseDialogsTest)
#include "chinese_dialogs_test.moc"
