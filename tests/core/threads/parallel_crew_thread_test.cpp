// A crew runs round after round on the same helpers: every share of every round once, errors
// raised after the round, and the calling thread doing all where no helper can start.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

#include "core/threads/parallel_crew.h"
#include "core/threads/thread_start.h"

namespace haojian {
namespace {

TEST(ParallelCrew, EveryShareOfEveryRoundOnceWithFailuresBetween) {
    for (const std::size_t threads : {1u, 2u, 4u}) {
        ParallelCrew crew(threads);
        for (int round = 0; round < 200; ++round) {
            // Rounds of every size, more shares than threads included.
            const std::size_t count = std::size_t(round) % (threads + 2);
            std::vector<std::atomic<int>> runs(count);
            const bool fail = round % 7 == 3 && count > 0;
            const auto work = [&](std::size_t i) {
                runs[i].fetch_add(1);
                if (fail && i + 1 == std::min(count, threads)) throw std::runtime_error("share");
            };
            if (fail) {
                EXPECT_THROW(crew.Run(count, work), std::runtime_error);
            } else {
                crew.Run(count, work);
            }
            // At most threads shares run; each of them once.
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_EQ(runs[i].load(), i < threads ? 1 : 0) << "round " << round;
            }
        }
    }
}

TEST(ParallelCrew, NoHelperToBeHad) {
    const ThreadStartsRefused refused;
    ParallelCrew crew(3);
    std::vector<int> runs(3);
    for (int round = 0; round < 3; ++round) crew.Run(3, [&](std::size_t i) { ++runs[i]; });
    EXPECT_EQ(runs, (std::vector<int>{3, 3, 3}));
}

}  // namespace
}  // namespace haojian
