// Long work off the UI thread, its end brought back to the UI thread through what the window
// posts: here a queue the test drains, as an event loop would.
#include "window/background_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace haojian {
namespace {

// The UI thread's queue of posted ends.
class PostedEnds {
public:
    void Post(std::uint64_t id) {
        std::lock_guard lock(mutex_);
        ids_.push_back(id);
        posted_.notify_all();
    }
    std::uint64_t Next() {
        std::unique_lock lock(mutex_);
        posted_.wait(lock, [this] { return !ids_.empty(); });
        const std::uint64_t id = ids_.front();
        ids_.pop_front();
        return id;
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::uint64_t> ids_;
};

TEST(BackgroundThread, WorkRunsElsewhereAndEndsOnTheUiThreadWithWhatItThrew) {
    PostedEnds ends;
    std::vector<std::string> seen;
    BackgroundThread work([&](std::uint64_t id) { ends.Post(id); },
                          [&](bool busy) { seen.push_back(busy ? "busy" : "idle"); });
    const auto ui = std::this_thread::get_id();
    std::thread::id worker;
    work.Start([&] { worker = std::this_thread::get_id(); },
               [&](std::exception_ptr error) { seen.push_back(error ? "failed" : "done"); });
    EXPECT_TRUE(work.Busy());
    work.Finish(ends.Next());
    EXPECT_FALSE(work.Busy());
    EXPECT_NE(worker, ui);
    EXPECT_EQ(seen, (std::vector<std::string>{"busy", "idle", "done"}));

    // A failure reaches done; the same object takes the next piece of work.
    std::string message;
    work.Start([] { throw std::runtime_error("disk full"); },
               [&](std::exception_ptr error) {
                   try {
                       std::rethrow_exception(error);
                   } catch (const std::runtime_error& e) {
                       message = e.what();
                   }
               });
    work.Finish(ends.Next());
    EXPECT_EQ(message, "disk full");
}

// A post that comes again or late (for work already finished) changes nothing.
TEST(BackgroundThread, OnlyTheRunningWorksEndFinishesIt) {
    PostedEnds ends;
    int done = 0;
    BackgroundThread work([&](std::uint64_t id) { ends.Post(id); });
    work.Start([] {}, [&](std::exception_ptr) { ++done; });
    const std::uint64_t first = ends.Next();
    work.Finish(first + 1);
    EXPECT_TRUE(work.Busy());
    work.Finish(first);
    work.Finish(first);
    EXPECT_EQ(done, 1);

    std::mutex gate;
    std::unique_lock hold(gate);
    work.Start([&] { std::lock_guard wait(gate); }, [&](std::exception_ptr) { ++done; });
    work.Finish(first);  // the earlier work's end, posted twice
    EXPECT_TRUE(work.Busy());
    hold.unlock();
    work.Finish(ends.Next());
    EXPECT_EQ(done, 2);
}

// A window closing while work runs waits for it; the work's done is not run.
TEST(BackgroundThread, GoingAwayWaitsForTheWork) {
    bool finished = false, done = false;
    {
        BackgroundThread work([](std::uint64_t) {});
        work.Start(
            [&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                finished = true;
            },
            [&](std::exception_ptr) { done = true; });
    }
    EXPECT_TRUE(finished);
    EXPECT_FALSE(done);
}

}  // namespace
}  // namespace haojian
