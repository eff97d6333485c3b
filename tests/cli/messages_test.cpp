// Names and texts shown in messages cannot garble the terminal or hide what they are.
#include "cli/messages.h"

#include <gtest/gtest.h>

namespace haojian::cli {
namespace {

TEST(Messages, NamesAreShownSafely) {
    EXPECT_EQ(Printable("南京/a b.txt"), "南京/a b.txt");
    EXPECT_EQ(Printable("bad\xFFname"), "bad\\xFFname");
    EXPECT_EQ(Printable("\xE5\x8D"), "\\xE5\\x8D");            // cut short
    EXPECT_EQ(Printable("a\x1B[2Jb\x7F"), "a\\x1B[2Jb\\x7F");  // C0 and DEL
    EXPECT_EQ(Printable("a\xC2\x9B"
                        "2J"),
              "a\\xC2\\x9B2J");                    // C1 in UTF-8
    EXPECT_EQ(Printable("\xC2\xA0"), "\xC2\xA0");  // no control
    EXPECT_EQ(QuotedPath("out/x.txt"), "\"out/x.txt\"");
    EXPECT_EQ(QuotedPath(InputPath("-")), "standard input");
    EXPECT_EQ(QuotedPath(OutputPath("-")), "standard output");
    EXPECT_EQ(InputPath("./-"), "./-");
}

}  // namespace
}  // namespace haojian::cli
