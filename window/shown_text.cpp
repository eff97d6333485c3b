#include "window/shown_text.h"

#include "core/text/gbk.h"

namespace haojian {

std::u16string ShownText(std::string_view gbk) {
    if (gbk.size() <= kShownBytes) return Utf16FromGbk(gbk);
    std::u16string prefix = Utf16FromGbk(gbk.substr(0, kShownBytes));
    // The cut may have split the last character's two bytes.
    prefix.pop_back();
    return prefix + u'\u2026';
}

}  // namespace haojian
