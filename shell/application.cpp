#include "shell/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <memory>

#include "shell/gbk_text.h"
#include "window/window_texts.h"

namespace haojian {

QString ApplicationTitle() {
    return QtText(window_text::kApplicationTitle);
}

QString MainWindowCaption() {
    return QtText(window_text::kMainWindowCaption);
}

QFont WindowFont() {
    const QString song = QtText(window_text::kSongFace);
    if (QFont::substitutes(song).isEmpty()) {
        QFont::insertSubstitutions(
            song, {QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                   QStringLiteral("AR PL UMing TW"), QStringLiteral("WenQuanYi Zen Hei")});
    }
    QFont font(song);
    font.setPixelSize(12);
    return font;
}

QIcon ApplicationIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/icon_32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/pictures/icon_16.png"), QSize(16, 16));
    return icon;
}

bool InstallChineseStandardTexts() {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    // The application owns it from here on.
    translator->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(translator.release());
}

void SetUpApplication() {
    QApplication::setApplicationName(ApplicationTitle());
    QGuiApplication::setDesktopFileName(QStringLiteral(HAOJIAN_APP_ID));
    QApplication::setWindowIcon(ApplicationIcon());
    QApplication::setFont(WindowFont());
    InstallChineseStandardTexts();
}

}  // namespace haojian
