#pragma once

#include <QString>
#include <QUrl>

#include "window/window_texts.h"

namespace haojian {

// The maker's addresses: the home page and the contact mail address that the window, the tray
// menu and the About window open, and the contact line the status bar shows.
inline QUrl HomePageAddress() {
    const std::string_view address = window_text::kHomePageAddress;
    return QUrl(QString::fromUtf8(address.data(), qsizetype(address.size())));
}
inline QUrl ContactAddress() {
    const std::string_view address = window_text::kContactAddress;
    return QUrl(QString::fromUtf8(address.data(), qsizetype(address.size())));
}
inline QString ContactLine() {
    const std::u16string_view line = window_text::kContactLine;
    return QString::fromUtf16(line.data(), qsizetype(line.size()));
}

}  // namespace haojian
