#include "tests/support/sorted_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "core/collation/collation.h"
#include "core/files/buffered_writer.h"
#include "core/files/file_system.h"
#include "core/merge/unique_lines.h"
#include "core/text/gbk.h"
#include "core/text/line_list.h"

namespace haojian::testing {
namespace {

class StringFile final : public OutputFile {
public:
    void Write(std::string_view bytes) override { text.append(bytes); }
    void Close() override {}
    std::string text;
};

}  // namespace

std::string SortedUnique(std::string text, std::size_t key_budget, unsigned threads,
                         std::size_t longest_keyed_line) {
    StringFile file;
    BufferedWriter out(file, 64);
    const std::size_t count = WriteSortedUniqueLines(std::move(text), DefaultCollation(), out,
                                                     key_budget, threads, longest_keyed_line);
    out.Flush();
    EXPECT_EQ(count, LineList::FromBytes(file.text).size());
    return file.text;
}

std::string ReferenceSortedUnique(const std::string& text) {
    const LineList lines = LineList::FromBytes(text);
    const LocaleCollation& collation = DefaultCollation();
    std::vector<std::string_view> kept;
    for (std::size_t i = 0; i < lines.size(); ++i) kept.push_back(lines[i]);
    std::stable_sort(kept.begin(), kept.end(),
                     [&](std::string_view a, std::string_view b) { return collation.Less(a, b); });
    kept.erase(
        std::unique(kept.begin(), kept.end(),
                    [&](std::string_view a, std::string_view b) { return collation.Equal(a, b); }),
        kept.end());
    std::string out;
    for (const std::string_view line : kept) out.append(line).append("\r\n");
    return out;
}

std::string RandomLines(std::mt19937& rng, int lines, bool simple_only) {
    // Pieces of characters the collation weighs one by one come first; simple_only takes
    // those alone.
    static const std::vector<std::string> pieces = {
        "138", "1380013", "0", "9", "", " ", "a", "A", "b", "B", "+86", "x1", GbkFromUtf8("张"),
        GbkFromUtf8("王"), GbkFromUtf8("欧阳"), GbkFromUtf8("Σ"), GbkFromUtf8("σ"),
        // Longer than the comparison keeps on the stack, alike for long.
        std::string(100, 'q').append("Rr"),
        GbkFromUtf8("赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许何吕施张孔曹严华金魏陶姜戚谢邹喻"
                    "柏水窦章云苏潘葛奚范彭郎鲁韦昌马苗凤花方俞任袁柳"),
        // Not simple: weighed apart at other levels (the hyphen on Windows, whose word sort
        // weighs it apart from the letters), undecodable, or ignored.
        "-", GbkFromUtf8("Ａ"), GbkFromUtf8("ａ"), GbkFromUtf8("０"), "\xFF",
        "\x81",  // a lead byte with no trail
        "\x01",  // ignored by the collation
    };
    const std::size_t choices = simple_only ? pieces.size() - 7 : pieces.size();
    const char* const ends[] = {"\n", "\r\n", "\r", "\n\r"};
    std::string text;
    for (int i = 0; i < lines; ++i) {
        const int length = int(rng() % 5);
        for (int j = 0; j < length; ++j) text += pieces[rng() % choices];
        text += ends[rng() % 4];
    }
    if (rng() % 2 && !text.empty()) text.resize(text.size() - 1);
    return text;
}

}  // namespace haojian::testing
