// When the system gives no thread: the merge does the work on the calling thread, and a query
// run says so and leaves the commands as Stop would.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>

#include "core/base/error.h"
#include "core/files/file_system.h"
#include "core/run/query_run.h"
#include "core/run/result_table.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "core/threads/thread_start.h"
#include "tests/support/run_fakes.h"
#include "tests/support/sorted_lines.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

TEST(ThreadStart, TheMergeSortsOnTheCallingThreadWhenNoThreadStarts) {
    std::mt19937 rng(7);
    const std::string text = testing::RandomLines(rng, 6000);
    const std::string expected = testing::ReferenceSortedUnique(text);
    const ThreadStartsRefused refused;
    for (const std::size_t budget : {std::size_t(0), std::size_t(1)}) {
        EXPECT_EQ(testing::SortedUnique(text, budget, 4), expected) << "budget " << budget;
    }
}

TEST(ThreadStart, AQueryWithoutAWorkerSaysSoAndCanBeRunAgain) {
    testing::TempDir dir;
    testing::FakeRunView view;
    testing::FakeWaker waker;
    QueryRun run(view, waker);
    run.SetDatabase(testing::SmallDatabase());
    run.Import(dir.Write("list.txt", "13800001234\n13900005678\n"));
    {
        const ThreadStartsRefused refused;
        try {
            run.Query();
            ADD_FAILURE() << "a run without a worker";
        } catch (const ThreadStartError& e) {
            EXPECT_EQ(e.reason(), SystemReason(EAGAIN));
            EXPECT_EQ(e.message(), "Cannot start a thread. " + GbkFromUtf8(SystemReason(EAGAIN)));
        }
    }
    EXPECT_EQ(run.State(), RunState::Paused);
    EXPECT_FALSE(run.WorkerAlive());
    EXPECT_EQ(view.panels[RunStatus::Message], text::kStatusStopped);
    EXPECT_TRUE(view.enabled[Command::Query]);
    EXPECT_FALSE(view.enabled[Command::Stop]);
    EXPECT_TRUE(view.enabled[Command::Import]);
    EXPECT_EQ(run.QueryCursor(), 1);

    run.Query();
    testing::PumpUntilWorkerEnds(run, waker);
    EXPECT_EQ(run.State(), RunState::Complete);
    EXPECT_EQ(run.Rows().size(), 2u);
}

}  // namespace
}  // namespace haojian
