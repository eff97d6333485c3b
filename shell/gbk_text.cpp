#include "shell/gbk_text.h"

#include <QFile>

#include "core/text/gbk.h"

namespace haojian {

QString FromGbk(std::string_view gbk) {
    const std::u16string text = Utf16FromGbk(gbk);
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

std::string ToGbk(const QString& text) {
    return GbkFromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                            std::size_t(text.size())));
}

std::string FilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace haojian
