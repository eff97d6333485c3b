// The progress line: shown only for a run that takes over a second, and cleared at its end.
#include "cli/progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/test_files.h"

namespace haojian::cli {
namespace {

// A progress line written to a file, on a clock that the test moves.
struct TimedRun {
    testing::TempDir dir;
    std::FILE* out = std::fopen((dir.path() + "progress").c_str(), "w+b");
    double now = 100.0;

    ~TimedRun() { std::fclose(out); }
    std::string Text() {
        std::fflush(out);
        return testing::ReadFileBytes(dir.path() + "progress");
    }
    // Advances progress in steps of step bytes, each taking seconds, until total.
    void Go(Progress& progress, std::uint64_t total, std::uint64_t step, double seconds) {
        for (std::uint64_t done = 0; done < total; done += step) {
            now += seconds;
            progress.Advance(step);
        }
        progress.Finish();
    }
};

constexpr std::uint64_t kMB = 1000000;

TEST(Progress, ShowsBytesRateAndTimeLeftForALongRunAndClearsItsLine) {
    TimedRun run;
    Progress progress("lookup", 100 * kMB, true, run.out, [&] { return run.now; });
    run.Go(progress, 100 * kMB, kMB, 0.05);  // 20 MB/s: five seconds in all
    const std::string text = run.Text();
    EXPECT_NE(text.find("\rlookup: 6.0 MB of 100.0 MB, 20.0 MB/s, 5 s left\033[K"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\rlookup: 71.0 MB of 100.0 MB, 20.0 MB/s, 1 s left\033[K"),
              std::string::npos)
        << text;
    EXPECT_TRUE(text.ends_with("\r\033[K")) << text;
    // A few drawings a second, not one per step.
    std::size_t drawings = 0;
    for (std::size_t at = 0; (at = text.find("of 100.0 MB", at)) != std::string::npos; ++at) {
        ++drawings;
    }
    EXPECT_LE(drawings, 5u * 5 + 1);
    EXPECT_GE(drawings, 5u * 4 - 2);
}

TEST(Progress, WithoutATotalShowsWhatWasReadAndTheRateAfterASecond) {
    TimedRun run;
    Progress progress("lookup", 0, true, run.out, [&] { return run.now; });
    progress.SetTotalUnknown();
    run.Go(progress, 48 * kMB, kMB, 0.0625);  // 16 MB/s for three seconds
    const std::string text = run.Text();
    EXPECT_EQ(text.find("\rlookup: 15.0 MB read"), std::string::npos) << text;  // 0.94 s
    EXPECT_NE(text.find("\rlookup: 16.0 MB read, 16.0 MB/s\033[K"), std::string::npos) << text;
    EXPECT_NE(text.find("\rlookup: 48.0 MB read, 16.0 MB/s\033[K"), std::string::npos) << text;
    EXPECT_EQ(text.find(" of "), std::string::npos) << text;
    EXPECT_EQ(text.find("left"), std::string::npos) << text;
}

TEST(Progress, ShortRunsAndQuietRunsShowNothing) {
    {
        TimedRun run;  // 0.8 s in all
        Progress progress("export", 100 * kMB, true, run.out, [&] { return run.now; });
        run.Go(progress, 100 * kMB, kMB, 0.008);
        EXPECT_EQ(run.Text(), "");
    }
    {
        TimedRun run;  // long, but not enabled
        Progress progress("export", 100 * kMB, false, run.out, [&] { return run.now; });
        run.Go(progress, 100 * kMB, kMB, 0.05);
        EXPECT_EQ(run.Text(), "");
    }
}

}  // namespace
}  // namespace haojian::cli
