// A merge larger than its memory: sorted runs set aside in temporary files and merged, in
// several passes when there are many, giving the bytes of the merge in memory; and every
// failure of a temporary file leaving the output, the sources and no temporary file behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/files/temporary_file.h"
#include "core/merge/merge.h"
#include "core/text/gbk.h"
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
using testing::TempDir;
using Names = std::vector<std::string>;
using Op = FaultyFileSystem::Op;

// Eleven-digit numbers, some repeated, among some text lines.
std::string NumberLines(std::mt19937& rng, int count, bool with_text) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (with_text && rng() % 7 == 0) {
            text += (rng() % 2 ? "Zhang" : "zHANG") + std::to_string(rng() % 50) + "\r\n";
            continue;
        }
        text += std::to_string(13000000000ULL + rng() % 3000) + (rng() % 3 ? "\n" : "\r\n");
    }
    return text;
}

struct BeyondMemory : ::testing::Test {
    TempDir dir;
    TempDir temporary;  // where the runs go, to see that none stays

    std::string Path(const std::string& name) const { return dir.path() + name; }

    // The text cut into sources at random places (lines, and CR LF pairs, split between two).
    std::vector<std::string> Sources(std::mt19937& rng, const std::string& text, int count) {
        std::vector<std::size_t> cuts = {0, text.size()};
        for (int i = 1; i < count; ++i) cuts.push_back(rng() % (text.size() + 1));
        std::sort(cuts.begin(), cuts.end());
        std::vector<std::string> sources;
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
            sources.push_back(dir.Write("s" + std::to_string(i) + ".txt",
                                        text.substr(cuts[i], cuts[i + 1] - cuts[i])));
        }
        return sources;
    }

    MergeOptions Tiny(std::uint64_t memory, std::vector<MergeProgress>* told = nullptr) const {
        MergeOptions options;
        options.memory = memory;
        options.temporary_folder = temporary.path();
        if (told) options.progress = [told](const MergeProgress& p) { told->push_back(p); };
        return options;
    }
};

TEST_F(BeyondMemory, RunsAndPassesGiveTheBytesOfTheMergeInMemory) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 12; ++round) {
        const std::string text = round % 3 == 0   ? NumberLines(rng, 3000, false)
                                 : round % 3 == 1 ? NumberLines(rng, 3000, true)
                                                  : RandomLines(rng, 1500, round % 2 == 0);
        const std::vector<std::string> sources = Sources(rng, text, 1 + int(rng() % 5));
        const std::size_t in_memory = MergeDataFiles(sources, Path("whole.txt"));
        const std::string expected = ReadFileBytes(Path("whole.txt"));
        ASSERT_EQ(expected, ReferenceSortedUnique(text)) << "round " << round;
        // A few runs merged at once; many runs, merged two at a time in several passes.
        for (const std::uint64_t memory : {std::uint64_t(text.size()), std::uint64_t(900)}) {
            std::vector<MergeProgress> told;
            ASSERT_EQ(MergeDataFiles(sources, Path("runs.txt"), Tiny(memory, &told)), in_memory)
                << "round " << round << ", memory " << memory;
            ASSERT_EQ(ReadFileBytes(Path("runs.txt")), expected)
                << "round " << round << ", memory " << memory;
            ASSERT_FALSE(told.empty());
            EXPECT_EQ(told.back().stage, MergeProgress::Stage::Merging);
            EXPECT_EQ(told.back().pass, told.back().passes);
            EXPECT_EQ(told.back().done, told.back().total);
            if (memory == 900) {
                EXPECT_GT(told.back().passes, 2u);
            }
        }
        EXPECT_EQ(FileNames(temporary.path()), Names{});
    }
}

TEST_F(BeyondMemory, EqualLinesInLaterRunsKeepTheFirstBytes) {
    std::string filler;
    for (int i = 0; i < 400; ++i) filler += "line" + std::to_string(i) + "\n";
    const std::string a = dir.Write("a.txt", "ZHANG san\n" + GbkFromUtf8("Ωmega\n") + filler);
    const std::string b =
        dir.Write("b.txt", filler + "zhang SAN\n" + GbkFromUtf8("ωMEGA\n") + "Zhang San");
    EXPECT_EQ(MergeDataFiles({a, b}, Path("out.txt"), Tiny(600)), 402u);
    const std::string out = ReadFileBytes(Path("out.txt"));
    EXPECT_NE(out.find("ZHANG san\r\n"), std::string::npos);
    EXPECT_NE(out.find(GbkFromUtf8("Ωmega\r\n")), std::string::npos);
    EXPECT_EQ(out.find("zhang"), std::string::npos);
}

// The real file system, where "endless" is a source of a few lines and then NUL bytes without
// end, as a device of zeros gives them.
class EndlessSource final : public FileSystem {
public:
    bool IsFile(const std::string& path) override { return RealFileSystem().IsFile(path); }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        if (path != "endless") return RealFileSystem().OpenRead(path);
        struct Endless final : InputFile {
            std::size_t Read(char* buffer, std::size_t size) override {
                const std::string_view start = "9\n8\n";
                const std::size_t n = std::min(size, start.size() - std::min(at, start.size()));
                std::memcpy(buffer, start.data() + at, n);
                std::memset(buffer + n, 0, size - n);
                at += size;
                return size;
            }
            std::uint64_t Size() const override { return 0; }
            std::size_t at = 0;
        };
        return std::make_unique<Endless>();
    }
    std::unique_ptr<StagedFile> CreateReplacement(const std::string& target) override {
        return RealFileSystem().CreateReplacement(target);
    }
};

TEST_F(BeyondMemory, ANulByteEndsTheTextEvenOfASourceWithoutEnd) {
    std::mt19937 rng(5);
    const std::string a = dir.Write("a.txt", NumberLines(rng, 500, true));
    EndlessSource fs;
    for (const std::uint64_t memory : {std::uint64_t(0), std::uint64_t(1000)}) {
        try {
            MergeDataFiles({a, "endless", "gone.txt"}, Path("out.txt"), Tiny(memory), fs);
            FAIL() << "no error";
        } catch (const MergeCutError& e) {
            EXPECT_EQ(e.path(), "endless");
            EXPECT_EQ(e.offset(), 4u);
        }
        EXPECT_EQ(ReadFileBytes(Path("out.txt")),
                  ReferenceSortedUnique(ReadFileBytes(a) + "9\n8\n"));
    }
}

TEST_F(BeyondMemory, FailuresNameTheFolderAndLeaveEveryFile) {
    std::mt19937 rng(99);
    const std::string text = NumberLines(rng, 4000, true);
    const std::vector<std::string> sources = Sources(rng, text, 3);
    const std::string out = dir.Write("out.txt", "old\r\n");
    const Names files = FileNames(dir.path());

    FaultyFileSystem counter;
    MergeDataFiles(sources, Path("probe.txt"), Tiny(2000), counter);
    std::remove(Path("probe.txt").c_str());
    for (const Op op : {Op::TempCreate, Op::TempWrite, Op::TempRead}) {
        ASSERT_GT(counter.Calls(op), 2) << int(op);
        for (int nth = 1; nth <= counter.Calls(op); nth += 1 + counter.Calls(op) / 7) {
            FaultyFileSystem fs;
            fs.FailAt(op, nth, op == Op::TempWrite ? ENOSPC : ENOENT);
            try {
                MergeDataFiles(sources, out, Tiny(2000), fs);
                ADD_FAILURE() << "no error, op " << int(op) << " call " << nth;
            } catch (const TemporaryFolderError& e) {
                EXPECT_EQ(e.path(), temporary.path());
                EXPECT_EQ(e.code(), op == Op::TempWrite ? ENOSPC : ENOENT);
            }
            EXPECT_EQ(ReadFileBytes(out), "old\r\n");
            EXPECT_EQ(FileNames(dir.path()), files);
            EXPECT_EQ(FileNames(temporary.path()), Names{});
        }
    }

    // A folder that is not there.
    MergeOptions missing = Tiny(2000);
    missing.temporary_folder = Path("gone");
    try {
        MergeDataFiles(sources, out, missing);
        FAIL() << "no error";
    } catch (const TemporaryFolderError& e) {
        EXPECT_EQ(e.op(), FileError::Op::Create);
        EXPECT_EQ(e.path(), Path("gone"));
        EXPECT_EQ(e.code(), ENOENT);
    }
    EXPECT_EQ(ReadFileBytes(out), "old\r\n");
    EXPECT_EQ(FileNames(temporary.path()), Names{});
}

}  // namespace
}  // namespace haojian
