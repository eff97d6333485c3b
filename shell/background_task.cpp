#include "shell/background_task.h"

#include <QMetaObject>
#include <QPointer>
#include <utility>

#include "core/threads/thread_start.h"

namespace haojian {

BackgroundTask::BackgroundTask(QObject* parent) : QObject(parent) {}

BackgroundTask::~BackgroundTask() {
    if (thread_.joinable()) thread_.join();
}

void BackgroundTask::Start(std::function<void()> work,
                           std::function<void(std::exception_ptr)> done) {
    Q_ASSERT(!busy_);
    busy_ = true;
    const std::uint64_t id = ++id_;
    error_ = nullptr;
    done_ = std::move(done);
    emit BusyChanged(true);
    const auto run = [this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            error_ = std::current_exception();
        }
    };
    try {
        thread_ = StartThread([this, id, run] {
            run();
            // Queued to this object: dropped if it is gone, and ignored once Wait has
            // finished this piece of work itself.
            QMetaObject::invokeMethod(
                this, [this, id] { Finish(id); }, Qt::QueuedConnection);
        });
    } catch (const ThreadStartError&) {
        // Without a thread the work is done here, the window held meanwhile, rather than not
        // at all.
        run();
        Finish(id);
    }
}

void BackgroundTask::Post(std::function<void()> step) {
    // Queued to this object, as the work's end is: a step comes before it.
    QMetaObject::invokeMethod(this, std::move(step), Qt::QueuedConnection);
}

void BackgroundTask::Wait() {
    if (busy_) Finish(id_);
}

void BackgroundTask::Finish(std::uint64_t id) {
    if (!busy_ || id != id_) return;
    if (thread_.joinable()) thread_.join();
    busy_ = false;
    emit BusyChanged(false);
    const auto done = std::move(done_);
    done_ = nullptr;
    if (done) done(std::exchange(error_, nullptr));
}

}  // namespace haojian
