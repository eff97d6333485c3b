// Items made ahead on another thread come in the order made, a failure of the maker comes after
// the items made before it, and a caller that stops early neither hangs nor loses the thread.
#include "core/threads/read_ahead.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace haojian {
namespace {

// Counts from 0 in batches of up to `size` items; throws at `failing` (if below `count`).
ReadAhead<int>::Fill Counter(int count, std::size_t size, int failing = -1) {
    return [next = 0, count, size, failing](std::vector<int>& batch) mutable {
        batch.clear();
        while (batch.size() < size && next < count) {
            if (next == failing) throw std::runtime_error("broken at " + std::to_string(next));
            batch.push_back(next++);
        }
        return next < count;
    };
}

std::vector<int> TakeAll(ReadAhead<int>& ahead) {
    std::vector<int> taken;
    while (const std::vector<int>* batch = ahead.Next()) {
        taken.insert(taken.end(), batch->begin(), batch->end());
    }
    return taken;
}

TEST(ReadAhead, ItemsComeInOrderAndAFailureAfterThoseBeforeIt) {
    for (const int count : {0, 1, 7, 1000}) {
        for (const std::size_t size : {std::size_t(1), std::size_t(7), std::size_t(64)}) {
            ReadAhead<int> ahead(Counter(count, size), 2);
            const std::vector<int> taken = TakeAll(ahead);
            ASSERT_EQ(taken.size(), std::size_t(count)) << count << " in batches of " << size;
            for (int i = 0; i < count; ++i) ASSERT_EQ(taken[std::size_t(i)], i);
            EXPECT_EQ(ahead.Next(), nullptr);  // and stays ended
        }
    }
    ReadAhead<int> failing(Counter(1000, 7, 500));
    std::vector<int> taken;
    try {
        for (;;) {
            const std::vector<int>* batch = failing.Next();
            ASSERT_NE(batch, nullptr) << "the failure was lost";
            taken.insert(taken.end(), batch->begin(), batch->end());
        }
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "broken at 500");
    }
    EXPECT_EQ(taken.size(), 500u);
}

TEST(ReadAhead, ACallerThatStopsEarlyEndsTheMaker) {
    // The maker is blocked with every batch full: going away must release and join it.
    ReadAhead<int> endless(Counter(1 << 30, 16), 2);
    ASSERT_NE(endless.Next(), nullptr);
    // And one never asked for anything.
    const ReadAhead<int> unasked(Counter(1 << 30, 16));
}

TEST(ReadAhead, NoThreadToBeHadIsSaid) {
    const ThreadStartsRefused refused;
    EXPECT_THROW(ReadAhead<int>(Counter(10, 3)), ThreadStartError);
}

}  // namespace
}  // namespace haojian
