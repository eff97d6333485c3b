#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "core/files/file_system.h"

namespace haojian::testing {

// The real file system, except that opening a file for reading and creating a result wait
// while the gate is shut: work on another thread can be held there while a test looks at the
// window.
class GatedFileSystem final : public FileSystem {
public:
    void Shut() {
        std::lock_guard lock(mutex_);
        shut_ = true;
        waiting_ = 0;
    }
    void Open() {
        {
            std::lock_guard lock(mutex_);
            shut_ = false;
        }
        changed_.notify_all();
    }
    // True once a call waits at the shut gate; false after 20 s without one.
    bool WaitForArrival() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return waiting_ > 0; });
    }

    bool IsFile(const std::string& path) override { return RealFileSystem().IsFile(path); }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        Pass();
        return RealFileSystem().OpenRead(path);
    }
    std::uint64_t SizeHint(const std::string& path) noexcept override {
        return RealFileSystem().SizeHint(path);
    }
    std::unique_ptr<StagedFile> CreateReplacement(const std::string& target) override {
        Pass();
        return RealFileSystem().CreateReplacement(target);
    }

private:
    void Pass() {
        std::unique_lock lock(mutex_);
        if (!shut_) return;
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return !shut_; });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool shut_ = false;
    int waiting_ = 0;
};

}  // namespace haojian::testing
