// Lines worked on by several threads come out as one thread gives them, in text order, and a
// failure on any thread stops the work and reaches the caller.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

#include "core/text/line_list.h"
#include "core/threads/chunk_pipeline.h"
#include "core/threads/thread_start.h"
#include "tests/support/sorted_lines.h"

namespace haojian {
namespace {

// Every line of the chunks, in the order written, each with its length.
std::string Numbered(std::string_view text, unsigned threads, std::size_t chunk_bytes) {
    std::string written;
    std::size_t lines = 0;
    const ChunkWork work{[](std::size_t, std::string_view chunk, std::string& out) {
                             std::size_t count = 0;
                             ForEachLine(chunk, [&](std::string_view line) {
                                 out.append(line).append("#" + std::to_string(line.size()) + "\n");
                                 ++count;
                             });
                             return count;
                         },
                         [&](std::string_view, std::string_view out, std::size_t count) {
                             written.append(out);
                             lines += count;
                         }};
    ProcessChunksInOrder(text, work, threads, chunk_bytes);
    EXPECT_EQ(lines, LineList::FromBytes(std::string(text)).size());
    return written;
}

TEST(ChunkPipeline, AnySplitAndNumberOfThreadsGivesTheLinesInOrder) {
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        // Every kind of line end, empty lines, and a last line with or without an end.
        const std::string text = testing::RandomLines(rng, int(rng() % 2000));
        const std::string expected = Numbered(text, 1, text.size() + 1);
        for (const unsigned threads : {1u, 2u, 3u}) {
            for (const std::size_t chunk : {std::size_t(1), std::size_t(13), std::size_t(4096)}) {
                ASSERT_EQ(Numbered(text, threads, chunk), expected)
                    << "round " << round << ", " << threads << " threads, chunks of " << chunk;
            }
        }
    }
    EXPECT_EQ(Numbered("", 2, 1), "");
    {
        // No thread to be had: the calling thread does it all.
        const std::string text = testing::RandomLines(rng, 500);
        const std::string expected = Numbered(text, 1, text.size() + 1);
        const ThreadStartsRefused refused;
        EXPECT_EQ(Numbered(text, 3, 7), expected);
    }
    // A CR LF pair is never cut apart, and LF CR stays two line ends.
    EXPECT_EQ(Numbered("a\r\nb\n\rc\r", 2, 1), "a#1\nb#1\n#0\nc#1\n");
}

TEST(ChunkPipeline, AFailureStopsTheWorkAndReachesTheCaller) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += std::to_string(i) + "\n";
    for (const unsigned threads : {1u, 2u, 4u}) {
        std::string written;
        const ChunkWork failing_format{
            [&](std::size_t, std::string_view chunk, std::string& out) {
                if (chunk.starts_with("2000\n")) throw std::runtime_error("format");
                out.assign(chunk);
                return std::size_t(0);
            },
            [&](std::string_view, std::string_view out, std::size_t) { written.append(out); }};
        EXPECT_THROW(ProcessChunksInOrder(text, failing_format, threads, 5), std::runtime_error);
        // What was written is whole chunks of the text before the failing one.
        EXPECT_TRUE(text.starts_with(written));
        EXPECT_LE(written.size(), text.find("2000\n"));

        int writes = 0;
        const ChunkWork failing_write{[](std::size_t, std::string_view chunk, std::string& out) {
                                          out.assign(chunk);
                                          return std::size_t(0);
                                      },
                                      [&](std::string_view, std::string_view, std::size_t) {
                                          if (++writes == 3) throw std::runtime_error("write");
                                      }};
        EXPECT_THROW(ProcessChunksInOrder(text, failing_write, threads, 100), std::runtime_error);
        EXPECT_EQ(writes, 3);
    }
}

TEST(ChunkPipeline, OnePipelineRunsTextAfterTextEvenAfterAFailure) {
    std::mt19937 rng(11);
    for (const unsigned threads : {1u, 2u, 4u}) {
        ChunkPipeline pipeline(threads, 64);
        for (int round = 0; round < 12; ++round) {
            // Texts of no line, one chunk and many, and every third one failing half-way.
            const std::string text = testing::RandomLines(rng, int(rng() % 300));
            const bool fail = round % 3 == 2 && text.size() > 128;
            std::string written;
            const ChunkWork work{
                [&](std::size_t, std::string_view chunk, std::string& out) {
                    if (fail && chunk.data() - text.data() >= std::ptrdiff_t(text.size() / 2)) {
                        throw std::runtime_error("format");
                    }
                    out.assign(chunk);
                    return std::size_t(0);
                },
                [&](std::string_view, std::string_view out, std::size_t) { written.append(out); }};
            if (fail) {
                EXPECT_THROW(pipeline.Run(text, work), std::runtime_error);
                EXPECT_TRUE(text.starts_with(written));
                EXPECT_LT(written.size(), text.size());
            } else {
                pipeline.Run(text, work);
                EXPECT_EQ(written, text) << threads << " threads, round " << round;
            }
        }
    }
}

}  // namespace
}  // namespace haojian
