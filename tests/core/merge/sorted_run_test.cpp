// A sorted run written and read back: digit words stored as their differences come back as
// they went in, whatever their lengths and gaps, and a run cut short is a failure, not a
// shorter run.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/merge/digit_lines.h"
#include "core/merge/sorted_run.h"
#include "tests/support/test_files.h"

namespace haojian::sorting {
namespace {

std::uint64_t Word(std::string_view digits) {
    std::uint64_t word = 0;
    EXPECT_TRUE(DigitKey(digits, &word)) << digits;
    return word;
}

struct SortedRunTest : ::testing::Test {
    testing::TempDir dir;
    const RunReader::Counter counter = [this](std::uint64_t bytes) { read += bytes; };
    std::uint64_t read = 0;

    SortedRun Write(const std::vector<std::uint64_t>& words,
                    const std::vector<std::string>& lines) {
        RunWriter writer(CreateTemporaryFile(dir.path()));
        // In two calls, the second going on from the first's last word.
        const std::size_t half = words.size() / 2;
        writer.DigitWords(std::span(words).first(half));
        writer.DigitWords(std::span(words).subspan(half));
        for (const std::string& line : lines) writer.Line(line);
        return writer.Finish();
    }
};

TEST_F(SortedRunTest, WordsAndLinesComeBackAsWritten) {
    // The empty line (word 0), the shortest and the longest digit lines, a word of all sixteen
    // nibbles, neighbours that differ in the last nibble only, and eleven-digit numbers close
    // together and far apart.
    std::vector<std::uint64_t> words = {0,
                                        Word("0"),
                                        Word("00"),
                                        Word("9"),
                                        Word("0000000000000000"),
                                        Word("9999999999999998"),
                                        Word("9999999999999999")};
    std::mt19937_64 rng(33);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t spread = i < 10000 ? 3000 : 9000000000ULL;
        words.push_back(Word(std::to_string(10000000000ULL + rng() % spread)));
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    // Lines sharing their first bytes with the one before, or all of them, or none; a long line
    // (its length in two bytes) and the empty line after it.
    const std::vector<std::string> lines = {
        "", "a", "ab", "abc", "abd", "b", "zhangsan", "zhang", "zh", "z" + std::string(300, 'x'),
        "", "zz"};
    SortedRun run = Write(words, lines);
    // Far less than eight bytes a word.
    EXPECT_LT(run.digit_bytes, words.size() * 4);

    for (const std::size_t block : {std::size_t(64), std::size_t(1) << 16}) {
        RunReader digits(*run.file, 0, run.digit_bytes, block, dir.path(), counter);
        std::vector<std::uint64_t> back;
        for (std::uint64_t w; digits.NextWord(w);) back.push_back(w);
        EXPECT_EQ(back, words) << "block " << block;
        RunReader others(*run.file, run.digit_bytes, run.end, block, dir.path(), counter);
        std::vector<std::string> lines_back;
        for (std::string_view l; others.NextLine(l);) lines_back.emplace_back(l);
        EXPECT_EQ(lines_back, lines) << "block " << block;
    }
    EXPECT_EQ(read, 2 * run.end);
}

TEST_F(SortedRunTest, ARunCutShortOrDamagedIsAFailure) {
    // A difference of many bytes, its last byte missing.
    SortedRun run = Write({Word("9999999999999999")}, {"zhang", "zhangsan"});
    ASSERT_GT(run.digit_bytes, 1u);
    RunReader digits(*run.file, 0, run.digit_bytes - 1, 64, dir.path(), counter);
    std::uint64_t word = 0;
    EXPECT_THROW(digits.NextWord(word), TemporaryFolderError);
    // A line whose last byte is missing.
    RunReader cut(*run.file, run.digit_bytes, run.end - 1, 64, dir.path(), counter);
    std::string_view line;
    ASSERT_TRUE(cut.NextLine(line));
    EXPECT_THROW(cut.NextLine(line), TemporaryFolderError);
    // A line said to share more bytes with the one before than that one has.
    const std::unique_ptr<TemporaryFile> file = CreateTemporaryFile(dir.path());
    file->Write(
        std::string("\x00\x02"
                    "ab"
                    "\x03\x01"
                    "c",
                    7));
    RunReader damaged(*file, 0, 7, 64, dir.path(), counter);
    ASSERT_TRUE(damaged.NextLine(line));
    EXPECT_EQ(line, "ab");
    EXPECT_THROW(damaged.NextLine(line), TemporaryFolderError);
}

}  // namespace
}  // namespace haojian::sorting
