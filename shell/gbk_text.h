#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace haojian {

// The core's GBK texts shown in widgets, and typed widget texts handed to the core.
QString FromGbk(std::string_view gbk);
std::string ToGbk(const QString& text);

// A fixed text of the windows (UTF-16) shown in a widget.
inline QString QtText(std::u16string_view text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

// A path from a dialog as the core takes it (file names are UTF-8 bytes).
std::string FilePath(const QString& path);

}  // namespace haojian
