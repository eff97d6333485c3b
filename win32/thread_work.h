#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/run/query_run.h"
#include "window/window_seams.h"

namespace haojian::win32 {

// Messages the worker threads post to the main window.
inline constexpr UINT kHandOffMessage = WM_APP + 1;   // the query run's worker waits
inline constexpr UINT kWorkDoneMessage = WM_APP + 2;  // long work has ended; wParam its id
inline constexpr UINT kWorkStepMessage = WM_APP + 3;  // long work has posted a step

// Wakes the UI thread: posts kHandOffMessage to the window, which runs the run's hand-off.
class PostedWaker final : public UiWaker {
public:
    explicit PostedWaker(HWND window) : window_(window) {}
    void Wake() override { PostMessageW(window_, kHandOffMessage, 0, 0); }

private:
    HWND window_;
};

// Runs long work on a thread of its own and reports its end by posting kWorkDoneMessage to the
// window, whose handler calls Finish.
class ThreadWork final : public BackgroundWork {
public:
    explicit ThreadWork(HWND window) : window_(window) {}
    // Waits for work still running; its done is not run.
    ~ThreadWork() override;
    ThreadWork(const ThreadWork&) = delete;
    ThreadWork& operator=(const ThreadWork&) = delete;

    bool Busy() const override { return busy_; }
    void Start(std::function<void()> work, std::function<void(std::exception_ptr)> done) override;
    void Post(std::function<void()> step) override;
    // Runs the steps posted so far (on kWorkStepMessage).
    void RunSteps();
    // The work with this id has ended: joins its thread and runs its done.
    void Finish(WPARAM id);

private:
    HWND window_;
    bool busy_ = false;
    std::uint64_t id_ = 0;
    std::jthread thread_;
    std::exception_ptr error_;
    std::function<void(std::exception_ptr)> done_;
    std::mutex steps_mutex_;
    std::vector<std::function<void()>> steps_;
};

}  // namespace haojian::win32
