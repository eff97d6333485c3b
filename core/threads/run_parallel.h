#pragma once

#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

#include "core/threads/thread_start.h"

namespace haojian {

// Runs work(i) for every i below count, each but the first on a thread of its own; the first
// error any of them raises is raised when all have ended. Where the system refuses a thread,
// the calling thread does that share too.
template <class Work>
void RunParallel(std::size_t count, Work&& work) {
    if (count == 1) {
        work(std::size_t(0));
        return;
    }
    std::vector<std::exception_ptr> errors(count);
    const auto run = [&](std::size_t i) {
        try {
            work(i);
        } catch (...) {
            errors[i] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> threads;
        threads.reserve(count - 1);
        for (std::size_t i = 1; i < count; ++i) {
            try {
                threads.push_back(StartThread([&run, i] { run(i); }));
            } catch (const ThreadStartError&) {
                run(i);
            }
        }
        run(0);
    }
    for (const std::exception_ptr& e : errors) {
        if (e) std::rethrow_exception(e);
    }
}

}  // namespace haojian
