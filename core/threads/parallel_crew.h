#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace haojian {

// RunParallel for work that comes in many rounds: the helper threads start once, at the first
// round that wants them, and wait between rounds. (Some systems take a millisecond or more to
// start a thread and give it its stack; a merge's rounds would pay that every time.)
class ParallelCrew {
public:
    // At most threads at once, the calling thread included.
    explicit ParallelCrew(std::size_t threads);
    ~ParallelCrew();
    ParallelCrew(const ParallelCrew&) = delete;
    ParallelCrew& operator=(const ParallelCrew&) = delete;

    // Runs work(i) for every i below count (at most threads), work(0) on the calling thread and
    // the others on the helpers; the first error any of them raises is raised when all have
    // ended. Where the system refuses a helper, the calling thread does its share too.
    void Run(std::size_t count, const std::function<void(std::size_t)>& work);

private:
    void Help(std::size_t index);
    void Do(std::size_t index);

    const std::size_t threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void(std::size_t)>* work_ = nullptr;
    std::size_t count_ = 0;
    std::size_t round_ = 0;      // counts the rounds begun
    std::size_t remaining_ = 0;  // helpers' shares of this round not yet done
    std::vector<std::exception_ptr> errors_;
    bool quit_ = false;
    bool helpers_tried_ = false;
    std::vector<std::jthread> helpers_;  // last: they stop before the rest goes
};

}  // namespace haojian
