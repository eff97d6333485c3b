#include "gbk_text.h"

#include "gbk.h"

namespace haojian {

QString QStringFromGbk(std::string_view gbk) {
    return QString::fromStdU16String(Utf16FromGbk(gbk));
}

std::string GbkFromQString(const QString& text) {
    return GbkFromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                            std::size_t(text.size())));
}

}  // namespace haojian
