// Reading files whole: a file that shrinks or grows while it is read is a failure that names the
// file, never a shorter or longer text; files of unknown size are read to their end.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "core/base/error.h"
#include "core/database/segment_database.h"
#include "core/files/file_system.h"
#include "core/merge/merge.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::FaultyFileSystem;
using testing::FileNames;
using testing::ReadFileBytes;
using testing::TempDir;
using Names = std::vector<std::string>;

// A file of size bytes, large enough that reading it takes a read for its bytes and one more
// that confirms its end.
std::string Lines(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += std::to_string(13800000000 + i) + "\n";
    return text;
}

TEST(ReadWholeFile, AFileThatShrinksOrGrowsWhileReadIsAReadFailure) {
    const TempDir dir;
    const std::string text = Lines(1000);
    // Cut before its bytes are read, or grown once they are: the read that should have given
    // the rest, or the read that should have found the end, tells.
    for (const auto& [nth, size] : {std::pair{1, text.size() / 2}, std::pair{2, text.size() + 7},
                                    std::pair{1, text.size() + 7}, std::pair{2, std::size_t(0)}}) {
        const std::string path = dir.Write("list.txt", text);
        FaultyFileSystem fs;
        fs.ResizeAt(nth, size);
        try {
            const std::string read = ReadWholeFile(fs, path);
            // Cut once every byte was read: what was read is the whole file as it was.
            EXPECT_TRUE(nth == 2 && size == 0) << nth << " " << size;
            EXPECT_EQ(read, text);
        } catch (const FileError& e) {
            EXPECT_EQ(e.op(), FileError::Op::Read);
            EXPECT_EQ(e.path(), path);
            EXPECT_EQ(e.reason(), kSizeChangedReason);
        }
    }
    // Unchanged, it reads whole; a pipe has no size and is read to its end.
    EXPECT_EQ(ReadWholeFile(RealFileSystem(), dir.Write("same.txt", text)), text);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], "12\n34", 5), 5);
    ::close(ends[1]);
    EXPECT_EQ(ReadWholeFile(RealFileSystem(), "/proc/self/fd/" + std::to_string(ends[0])),
              "12\n34");
    ::close(ends[0]);
}

TEST(ReadWholeFile, ADatabaseCutWhileLoadedIsNotLoaded) {
    const TempDir dir;
    const std::string path = dir.Write("kelvaronset.dat", Lines(1000));
    FaultyFileSystem fs;
    fs.ResizeAt(1, 100);
    try {
        LoadSegmentDatabase(fs, dir.path());
        FAIL() << "a database cut short was loaded";
    } catch (const FileError& e) {
        EXPECT_EQ(e.op(), FileError::Op::Read);
        EXPECT_EQ(e.path(), path);
        EXPECT_EQ(e.reason(), kSizeChangedReason);
    }
}

TEST(MergeReading, ASourceThatChangesSizeFailsTheMergeAndLeavesEveryFile) {
    const TempDir dir;
    const std::string a = dir.Write("a.txt", Lines(1000));
    const std::string b = dir.Write("b.txt", Lines(2000));
    const std::string out = dir.Write("out.txt", "old\r\n");
    // Reads: a's bytes, a's end, b's bytes, b's end.
    for (const auto& [nth, size] :
         {std::pair{3, std::uint64_t(10)}, std::pair{4, std::uint64_t(1) << 20}}) {
        FaultyFileSystem fs;
        fs.ResizeAt(nth, size);
        try {
            MergeDataFiles({a, b}, out, fs);
            ADD_FAILURE() << "merged a source that changed size";
        } catch (const FileError& e) {
            EXPECT_EQ(e.op(), FileError::Op::Read);
            EXPECT_EQ(e.path(), b);
            EXPECT_EQ(e.reason(), kSizeChangedReason);
        }
        EXPECT_EQ(ReadFileBytes(out), "old\r\n");
        EXPECT_EQ(FileNames(dir.path()), (Names{"a.txt", "b.txt", "out.txt"}));
        dir.Write("b.txt", Lines(2000));
    }
}

TEST(MergeReading, ManySourcesOfKnownAndUnknownSizeJoinByteForByte) {
    const TempDir dir;
    std::vector<std::string> sources;
    std::string joined;
    for (int i = 0; i < 200; ++i) {
        // Sources without a final line end join their last line to the next one's first.
        const std::string text = std::to_string(i % 37) + "\n" + std::to_string(i % 11);
        sources.push_back(dir.Write(std::to_string(i) + ".txt", text));
        joined += text;
    }
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], "\nzz\n", 4), 4);
    ::close(ends[1]);
    sources.push_back("/proc/self/fd/" + std::to_string(ends[0]));
    joined += "\nzz\n";
    const std::string out = dir.path() + "out.txt";
    const std::string expected = dir.path() + "expected.txt";
    dir.Write("expected.txt", joined);
    const std::size_t count = MergeDataFiles(sources, out);
    ::close(ends[0]);
    EXPECT_EQ(MergeDataFiles({expected}, expected), count);
    EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(expected));
}

}  // namespace
}  // namespace haojian
