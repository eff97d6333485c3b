#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace haojian {

// GBK bytes shown on screen, and typed text back to GBK bytes.
QString QStringFromGbk(std::string_view gbk);
std::string GbkFromQString(const QString& text);

}  // namespace haojian
