// Merge: joined sources, distinct lines in collation order, first bytes kept, and every file
// left as it was when something fails.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/merge/merge.h"
#include "core/text/gbk.h"
#include "core/text/line_list.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/sorted_lines.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::FaultyFileSystem;
using testing::FileNames;
using testing::RandomLines;
using testing::ReadFileBytes;
using testing::ReferenceSortedUnique;
using testing::SortedUnique;
using testing::TempDir;
using Names = std::vector<std::string>;

TEST(SortedUniqueLines, EdgeCases) {
    EXPECT_EQ(SortedUnique(""), "");
    EXPECT_EQ(SortedUnique("\n"), "\r\n");
    // A blank line anywhere sorts first and counts.
    EXPECT_EQ(SortedUnique("b\r\na\r\n\r\nc"), "\r\na\r\nb\r\nc\r\n");
    // Digits by character, a prefix first, never by value; LF CR is two line ends.
    EXPECT_EQ(SortedUnique("139\n1380\n138\n2\n10\r13800000000\n\r138"),
              "\r\n10\r\n138\r\n1380\r\n13800000000\r\n139\r\n2\r\n");
    // Case variants: one survives, with the bytes of the first.
    EXPECT_EQ(SortedUnique("Zhang\nzhang\nWANG\nwang\nZHANG\n"), "WANG\r\nZhang\r\n");
    EXPECT_EQ(SortedUnique(GbkFromUtf8("Ωmega\nωMEGA\n")), GbkFromUtf8("Ωmega\r\n"));
    // Full-width digits stay apart from ASCII ones; digits longer than 16 still order by
    // character.
    EXPECT_EQ(SortedUnique(GbkFromUtf8("０５\n05\n")), SortedUnique(GbkFromUtf8("05\n０５\n")));
    EXPECT_EQ(SortedUnique(GbkFromUtf8("０５\n05\n")).size(), 10u);
    EXPECT_EQ(SortedUnique("123456789012345678\n12345678901234567\n1234567890123456\n9"),
              "1234567890123456\r\n12345678901234567\r\n123456789012345678\r\n9\r\n");
    // A NUL ends the text.
    EXPECT_EQ(SortedUnique(std::string("b\na\0c\n", 6)), "a\r\nb\r\n");
}

TEST(SortedUniqueLines, MatchesThePlainRuleOnRandomText) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 40; ++round) {
        const std::string text = RandomLines(rng, 1 + int(rng() % 400));
        const std::string expected = ReferenceSortedUnique(text);
        ASSERT_EQ(SortedUnique(text, 0, 1), expected) << "round " << round;
        // Keys made again a piece at a time, or kept in part, give the same result as keys
        // kept whole.
        ASSERT_EQ(SortedUnique(text, 1, 1), expected) << "round " << round;
        ASSERT_EQ(SortedUnique(text, 2000, 1), expected) << "round " << round;
    }
}

TEST(SortedUniqueLines, SimpleKeysWhenEveryLineHasOneElseTheCollationsOwn) {
    std::mt19937 rng(777);
    LocaleCollation::KeyWriter writer(DefaultCollation());
    for (int round = 0; round < 30; ++round) {
        std::string text = RandomLines(rng, 1 + int(rng() % 400), true);
        const LineList lines = LineList::FromBytes(text);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_TRUE(writer.SimpleKeyPrefix(lines[i], 8)) << "round " << round << " line " << i;
        }
        ASSERT_EQ(SortedUnique(text, 0, 1 + round % 2), ReferenceSortedUnique(text));
        ASSERT_EQ(SortedUnique(text, 1, 1), ReferenceSortedUnique(text));
        // One line without a simple key, anywhere: the collation's keys for all.
        text.insert(rng() % (text.size() + 1), GbkFromUtf8("\nＡ\n"));
        ASSERT_EQ(SortedUnique(text, 0, 1 + round % 2), ReferenceSortedUnique(text));
    }
}

TEST(SortedUniqueLines, LinesAlikeForLong) {
    // Keys larger than a block of kept keys, and too large for a tiny budget.
    const std::string start(300000, 'z');
    const std::string han = GbkFromUtf8("龙");
    std::string long_han;
    for (int i = 0; i < 200000; ++i) long_han += han;
    const std::string text = start + "b\n" + start + "A\n" + start + "a\n" + long_han + "X\n" +
                             long_han + "x\n" + long_han + "\n" + "y\n";
    const std::string expected = ReferenceSortedUnique(text);
    EXPECT_EQ(LineList::FromBytes(expected).size(), 5u);
    EXPECT_EQ(SortedUnique(text, 0, 1), expected);
    EXPECT_EQ(SortedUnique(text, 1, 1), expected);
}

TEST(SortedUniqueLines, LinesTooLongForKeysTakeTheirPlacesAmongTheOthers) {
    // Lines beyond the length that gets keys (the real one is 16 MiB, below what the
    // collation library's 32-bit sizes hold) are compared whole, whatever their share.
    std::mt19937 rng(512);
    for (int round = 0; round < 12; ++round) {
        const std::string text = RandomLines(rng, 1 + int(rng() % 600));
        const std::string expected = ReferenceSortedUnique(text);
        for (const std::size_t longest : {std::size_t(0), std::size_t(2), std::size_t(9)}) {
            ASSERT_EQ(SortedUnique(text, 0, 1 + round % 2, longest), expected)
                << "round " << round << ", keys up to " << longest;
            ASSERT_EQ(SortedUnique(text, 1, 1, longest), expected)
                << "round " << round << ", keys up to " << longest;
        }
    }
    // A line just beyond the limit and one just within, alike for long, in both orders.
    const std::string within(1000, 'b');
    const std::string beyond = within + "a";
    EXPECT_EQ(SortedUnique(beyond + "\n" + within + "X\n" + within + "\n", 0, 1, 1000),
              within + "\r\n" + beyond + "\r\n" + within + "X\r\n");
}

struct MergeFixture : ::testing::Test {
    TempDir dir;
    std::string Path(const std::string& name) const { return dir.path() + name; }
};

TEST_F(MergeFixture, JoinsSourcesThenSortsDistinctLines) {
    const std::string a = dir.Write("a.txt", "13900000000\r\n1380000\r\nabc");
    const std::string b = dir.Write("b.txt", "def\nABCdef\n13900000000\n");
    const std::string empty = dir.Write("empty.txt", "");
    EXPECT_EQ(MergeDataFiles({a, empty, b}, Path("out.txt")), 3u);
    // "abc" and "def" join into one line, which "ABCdef" then equals.
    EXPECT_EQ(ReadFileBytes(Path("out.txt")), "1380000\r\n13900000000\r\nabcdef\r\n");
    EXPECT_EQ(Utf8FromGbk(MergedStatusText(358)), "文件合并整理完毕！共计：358");

    EXPECT_EQ(MergeDataFiles({empty, empty}, Path("out.txt")), 0u);
    EXPECT_EQ(ReadFileBytes(Path("out.txt")), "");
}

TEST_F(MergeFixture, OutputAmongSourcesKeepsItsOldLines) {
    const std::string a = dir.Write("a.txt", "2\n1\n");
    const std::string out = dir.Write("out.txt", "3\n1\n");
    EXPECT_EQ(MergeDataFiles({a, out}, out), 3u);
    EXPECT_EQ(ReadFileBytes(out), "1\r\n2\r\n3\r\n");
    EXPECT_EQ(MergeDataFiles({a}, a), 2u);
    EXPECT_EQ(ReadFileBytes(a), "1\r\n2\r\n");
}

TEST_F(MergeFixture, NulKeepsTheLinesBeforeItAndSaysWhere) {
    const std::string a = dir.Write("a.txt", "b\nc");
    const std::string b = dir.Write("b.txt", std::string("d\na\0z\n", 6));
    const std::string c = dir.Write("c.txt", "0\n");
    try {
        MergeDataFiles({a, b, c}, Path("out.txt"));
        FAIL() << "no error";
    } catch (const MergeCutError& e) {
        EXPECT_EQ(e.path(), b);
        EXPECT_EQ(e.offset(), 3u);
        EXPECT_EQ(e.line_count(), 3u);
        EXPECT_NE(std::string(e.what()).find(b), std::string::npos);
    }
    EXPECT_EQ(ReadFileBytes(Path("out.txt")), "a\r\nb\r\ncd\r\n");
}

TEST_F(MergeFixture, FailuresNameTheFileAndReason) {
    const std::string a = dir.Write("a.txt", "1\n");
    try {
        MergeDataFiles({a, Path("gone.txt")}, Path("out.txt"));
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.op(), FileError::Op::Open);
        EXPECT_EQ(e.path(), Path("gone.txt"));
        EXPECT_EQ(e.reason(), SystemReason(ENOENT));
    }
    try {
        MergeDataFiles({a}, Path("no/out.txt"));
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.op(), FileError::Op::Create);
        EXPECT_EQ(e.path(), Path("no/out.txt"));
        EXPECT_EQ(e.code(), ENOENT);
    }
    EXPECT_EQ(FileNames(dir.path()), Names{"a.txt"});
}

TEST_F(MergeFixture, EveryFailingFileOperationLeavesEveryFile) {
    // Large enough for several reads per source and several writes of the result.
    std::string big;
    for (int i = 0; i < 600000; ++i)
        big += std::to_string(13800000000LL + i * 7919LL % 1000003) + "\n";
    const std::string a = dir.Write("a.txt", big);
    const std::string b = dir.Write("b.txt", "zz\nYY\n");
    const std::string out = dir.Write("out.txt", "old\r\n");
    const std::vector<std::string> sources = {a, out, b};

    FaultyFileSystem counter;
    MergeDataFiles(sources, Path("probe.txt"), counter);
    std::remove(Path("probe.txt").c_str());
    ASSERT_GT(counter.Calls(FaultyFileSystem::Op::Write), 1);
    ASSERT_GT(counter.Calls(FaultyFileSystem::Op::Read), 4);

    using Op = FaultyFileSystem::Op;
    // The failure as it came, with the file it concerns: a source, or the output.
    const auto expected = [&](Op op, int nth) -> std::pair<FileError::Op, std::string> {
        switch (op) {
            case Op::Open:
                return {FileError::Op::Open, sources[nth - 1]};
            case Op::Read:
                return {FileError::Op::Read, {}};
            case Op::Write:
                return {FileError::Op::Write, out};
            case Op::Close:
                return {FileError::Op::Close, out};
            case Op::Rename:
                return {FileError::Op::Rename, out};
            default:
                return {FileError::Op::Create, out};
        }
    };
    for (const Op op : {Op::Create, Op::Open, Op::Read, Op::Write, Op::Close, Op::Rename}) {
        for (int nth = 1; nth <= counter.Calls(op); ++nth) {
            for (const int code : {EACCES, 0}) {
                if (code == 0 && op != Op::Read) continue;  // 0: a read that ends early
                FaultyFileSystem fs;
                fs.FailAt(op, nth, code);
                try {
                    MergeDataFiles(sources, out, fs);
                    // Only the read that confirms a source's end may give nothing harmlessly.
                    EXPECT_EQ(code, 0);
                    std::remove(out.c_str());
                    dir.Write("out.txt", "old\r\n");
                    continue;
                } catch (const FileError& e) {
                    const auto [file_op, path] = expected(op, nth);
                    EXPECT_EQ(e.op(), file_op) << "op " << int(op) << " call " << nth;
                    if (!path.empty()) {
                        EXPECT_EQ(e.path(), path) << "op " << int(op);
                    }
                }
                EXPECT_EQ(ReadFileBytes(out), "old\r\n");
                EXPECT_EQ(ReadFileBytes(a), big);
                EXPECT_EQ(FileNames(dir.path()), (Names{"a.txt", "b.txt", "out.txt"}));
            }
        }
    }
}

}  // namespace
}  // namespace haojian
