#include "window/shown_text.h"

#include "core/run/result_table.h"
#include "core/text/gbk.h"

namespace haojian {

std::u16string ShownText(std::string_view gbk) {
    if (gbk.size() <= kShownBytes) return Utf16FromGbk(gbk);
    std::u16string prefix = Utf16FromGbk(gbk.substr(0, kShownBytes));
    // The cut may have split the last character's two bytes.
    prefix.pop_back();
    return prefix + u'\u2026';
}

void AppendCopiedRows(const ResultTable& rows, std::size_t first, std::size_t last,
                      std::u16string_view line_end, std::u16string& text) {
    for (std::size_t i = first; i <= last && i < rows.size(); ++i) {
        const ResultRowView row = rows.Row(i);
        text += Utf16FromGbk(row.number);
        text += u'\t';
        text += Utf16FromGbk(row.province);
        text += u'\t';
        text += Utf16FromGbk(row.city);
        text += u'\t';
        text += Utf16FromGbk(row.card_type);
        text += line_end;
    }
}

}  // namespace haojian
