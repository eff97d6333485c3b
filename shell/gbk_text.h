#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace haojian {

// The core's GBK texts shown in widgets, and typed widget texts handed to the core.
QString FromGbk(std::string_view gbk);
std::string ToGbk(const QString& text);

// A path from a dialog as the core takes it (file names are UTF-8 bytes).
std::string FilePath(const QString& path);

}  // namespace haojian
