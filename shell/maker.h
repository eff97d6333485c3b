#pragma once

#include <QString>
#include <QUrl>

namespace haojian {

// The maker's addresses: the home page and the contact mail address that the window, the tray
// menu and the About window open, and the contact line the status bar shows.
inline QUrl HomePageAddress() {
    return QUrl(QStringLiteral("https://haojian.example.org/"));
}
inline QUrl ContactAddress() {
    return QUrl(QStringLiteral("mailto:haojian@example.org"));
}
inline QString ContactLine() {
    return QStringLiteral(u"联系开发商：haojian@example.org");
}

}  // namespace haojian
