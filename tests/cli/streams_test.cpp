// Lists answered while they arrive, decoded the same however they are cut, and a folder
// named as the database.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/text/list_decoder.h"
#include "cli/number_list_stream.h"
#include "core/text/gbk.h"
#include "tests/cli/child_process.h"
#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

TEST_F(Cli, LinesComeOutWhileTheListStillArrives) {
    using namespace std::chrono_literals;
    // The first answer comes before the second number is sent.
    const std::string first = "1380000\t江苏\t南京\t移动\n";
    testing::ChildProcess lookup(HAOJIAN_CLI, {"lookup", "--utf8", "--db", db, "-"}, dir.path());
    lookup.Write("1380000\n");
    EXPECT_EQ(lookup.ReadOutput(first.size()), first);
    lookup.Write("1390000\n");
    Result r = lookup.Wait();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, first + "1390000\t重庆\t重庆\t联通\n");

    // A CR LF cut between two reads stays one line end; so does a UTF-16 character.
    const auto in_pieces = [&](const std::vector<std::string>& args,
                               const std::vector<std::string>& pieces) {
        testing::ChildProcess child(HAOJIAN_CLI, args, dir.path());
        for (const std::string& piece : pieces) {
            child.Write(piece);
            std::this_thread::sleep_for(300ms);
        }
        return child.Wait();
    };
    r = in_pieces({"stats", "--db", db, "--by", "card", "-"}, {"1380000\r", "\n1390000\r", "\n"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Utf8FromGbk(r.out), "移动\t1\t50.00%\n联通\t1\t50.00%\n");
    using namespace std::string_literals;
    r = in_pieces({"lookup", "--db", db, "-"}, {"\xFF\xFE"
                                                "1\0"s,
                                                "3\0\r"s, "\0\n\0"s});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Utf8FromGbk(r.out), "13\t江苏\t南京\t移动\n");  // the first line of 13

    // A NUL byte ends the list even when more is still to come.
    r = Run("export --db " + db + " -o - -", "1380000\n\0001390000\n"s);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1380000**\r\n");
    EXPECT_TRUE(Contains(r.err, "standard input holds a NUL byte at offset 8")) << r.err;
}

TEST_F(Cli, AReaderThatGoesEndsTheRunQuietly) {
    // As "haojian-cli lookup list.txt | head -1": the rest is not wanted, and nothing is said.
    std::string list;
    for (int i = 0; i < 200000; ++i) list += std::to_string(13800000000 + i) + "\n";
    dir.Write("list.txt", list);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"lookup", "--db", db, "list.txt"},
                                               {"export", "--db", db, "-o", "-", "list.txt"},
                                               {"merge", "-o", "-", "list.txt"}}) {
        testing::ChildProcess child(HAOJIAN_CLI, args, dir.path());
        EXPECT_FALSE(child.ReadOutput(1).empty()) << args[0];
        child.CloseOutput();
        const Result r = child.Wait();
        EXPECT_NE(r.status, 0) << args[0];
        EXPECT_EQ(r.err, "") << args[0];
    }
}

TEST_F(Cli, NoStandardOutputFailsEveryCommand) {
    dir.Write("list.txt", "1380000\n");
    for (const std::string& command :
         {std::string("--help"), std::string("--version"), std::string("help"),
          std::string("lookup --help"), "db check --db " + db, "lookup --db " + db + " list.txt",
          "stats --db " + db + " list.txt", "export --db " + db + " -o out.txt list.txt",
          std::string("merge -o out.txt list.txt")}) {
        testing::ChildProcess child(HAOJIAN_CLI, Words(command), dir.path(),
                                    testing::ChildProcess::Output::kNone);
        const Result r = child.Wait();
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_TRUE(Contains(r.err, "standard output: Cannot write file (")) << r.err;
    }
    // Missing, it is never taken by a file opened later: the export is whole.
    testing::ChildProcess child(HAOJIAN_CLI, Words("export --db " + db + " -o out.txt list.txt"),
                                dir.path(), testing::ChildProcess::Output::kNone);
    EXPECT_EQ(child.Wait().status, 1);
    EXPECT_EQ(File("out.txt"), "1380000**\r\n");
}

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
                ListDecoder decoder;
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
    EXPECT_TRUE(ListDecoder::MayBeginMark("\xEF\xBB"));
    EXPECT_FALSE(ListDecoder::MayBeginMark("1"));
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
