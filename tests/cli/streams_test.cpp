// Standard streams and pipes: lists answered while they arrive, databases from pipes, and a
// standard output that takes nothing.
#include <string>

#include "cli/list_encoding.h"
#include "cli/number_list_stream.h"
#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

TEST_F(Cli, LinesComeOutWhileTheListStillArrives) {
    // The first answer is in the file before the second number is sent.
    Result r =
        Sh("{ echo 1380000; sleep 1; cp out.txt early.txt; echo 1390000; } |"
           " $CLI lookup --utf8 --db $DB - >out.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(File("early.txt"), "1380000\t江苏\t南京\t移动\n");
    EXPECT_EQ(File("out.txt"), "1380000\t江苏\t南京\t移动\n1390000\t重庆\t重庆\t联通\n");

    // A CR LF cut between two reads stays one line end; so does a UTF-16 character.
    r =
        Sh("{ printf '1380000\\r'; sleep 0.3; printf '\\n1390000\\r'; sleep 0.3; printf '\\n'; } |"
           " $CLI stats --db $DB --by card -");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Utf8FromGbk(r.out), "移动\t1\t50.00%\n联通\t1\t50.00%\n");
    r = Sh(
        "{ printf '\\377\\3761\\0'; sleep 0.3; printf '3\\0\\r'; sleep 0.3; printf '\\0\\n\\0'; } |"
        " $CLI lookup --db $DB -");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Utf8FromGbk(r.out), "13\t江苏\t南京\t移动\n");  // the first line of 13

    // A NUL byte ends the list even when more is still to come.
    r = Sh("{ printf '1380000\\n\\0001390000\\n'; } | $CLI export --db $DB -o - -");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1380000**\r\n");
    EXPECT_TRUE(Contains(r.err, "standard input holds a NUL byte at offset 8")) << r.err;
}

TEST_F(Cli, ADatabaseFromAPipeIsReadToItsEnd) {
    dir.Write("list.txt", "1380000\n");
    // A pipe behind /dev/stdin, as bash's <(zcat db.gz) gives one behind /dev/fd/N.
    Result r = Sh("cat $DB | $CLI lookup --utf8 --db /dev/stdin list.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t江苏\t南京\t移动\n");

    // A named pipe with no writer yet: the wait is said, then the database is read.
    r =
        Sh("mkfifo db.fifo && { sleep 1.5; cat $DB >db.fifo; } &"
           " sleep 0.2; $CLI lookup --utf8 --db db.fifo list.txt; s=$?; wait; exit $s");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1380000\t江苏\t南京\t移动\n");
    EXPECT_EQ(r.err,
              "haojian-cli: lookup: waiting for \"db.fifo\" (a named pipe) to be written to\n");

    // A folder is no database, with the reason.
    r = Run("lookup --db . list.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "No segment database file (Is a directory)")) << r.err;
}

TEST_F(Cli, AStandardOutputThatTakesNothingFailsEveryCommand) {
    dir.Write("list.txt", "1380000\n");
    for (const std::string command :
         {"$CLI --help", "$CLI --version", "$CLI help", "$CLI lookup --help",
          "$CLI db check --db $DB", "$CLI lookup --db $DB list.txt", "$CLI stats --db $DB list.txt",
          "$CLI export --db $DB -o out.txt list.txt", "$CLI merge -o out.txt list.txt"}) {
        for (const std::string to : {" >/dev/full", " >&-"}) {
            const Result r = Sh(command + to);
            EXPECT_EQ(r.status, 1) << command << to;
            EXPECT_TRUE(Contains(r.err, "standard output: Cannot write file (")) << r.err;
        }
    }
    // Closed, it is never taken by a file opened later: the export is whole.
    EXPECT_EQ(Sh("$CLI export --db $DB -o out.txt list.txt >&-").status, 1);
    EXPECT_EQ(File("out.txt"), "1380000**\r\n");
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
