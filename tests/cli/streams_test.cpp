// A list decoded the same however it arrives, and a folder named as the database.
#include <string>

#include "cli/list_encoding.h"
#include "cli/number_list_stream.h"
#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

TEST_F(Cli, AFolderIsNoDatabase) {
    dir.Write("list.txt", "1380000\n");
    const Result r = Run("lookup --db . list.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(testing::EndsWithSystemReason(r.err, "No segment database file", "Is a directory"))
        << r.err;
}

// The decoder gives the same text however the list is cut into pieces.
TEST(ListDecoder, PiecesCutAnywhereGiveTheWholeText) {
    const std::u16string text = u"张三\r\n13800😀01234\n한";
    std::string utf8 = "\xEF\xBB\xBF" + Utf8FromGbk(GbkFromUtf16(u"张三\r\n13800")) +
                       "\xF0\x9F\x98\x80"
                       "01234\n\xED\x95\x9C";
    std::string little("\xFF\xFE", 2);
    std::string big("\xFE\xFF", 2);
    for (const char16_t c : text) {
        little += {char(c & 0xFF), char(c >> 8)};
        big += {char(c >> 8), char(c & 0xFF)};
    }
    const std::string expected = GbkFromUtf16(text);
    for (const std::string& list : {utf8, little, big}) {
        for (std::size_t cut = 3; cut < list.size(); ++cut) {
            for (std::size_t cut2 = cut; cut2 < list.size(); ++cut2) {
                cli::ListDecoder decoder;
                const std::size_t skip = decoder.Begin(list.substr(0, 3));
                std::string out;
                decoder.Decode(list.substr(skip, cut - skip), out);
                decoder.Decode(list.substr(cut, cut2 - cut), out);
                decoder.Decode(list.substr(cut2), out);
                decoder.Finish(out);
                ASSERT_EQ(out, expected) << cut << " " << cut2;
                ASSERT_EQ(decoder.unmapped(), 2u);
            }
        }
    }
    EXPECT_TRUE(cli::ListDecoder::MayBeginMark("\xEF\xBB"));
    EXPECT_FALSE(cli::ListDecoder::MayBeginMark("1"));
}

TEST(WholeLinesEnd, AnLfOrACrWithSomethingAfterItEndsTheLastWholeLine) {
    EXPECT_EQ(cli::WholeLinesEnd("a\nb", false), 2u);
    EXPECT_EQ(cli::WholeLinesEnd("a\r\nb\r", false), 3u);  // the CR may meet its LF
    EXPECT_EQ(cli::WholeLinesEnd("a\rb", false), 2u);
    EXPECT_EQ(cli::WholeLinesEnd("ab", false), 0u);
    EXPECT_EQ(cli::WholeLinesEnd("a\rb\r", true), 4u);
}

}  // namespace
}  // namespace haojian
