#pragma once

#include <QObject>
#include <functional>

#include "core/run/query_run.h"

namespace haojian {

// Has call run on the thread of context by its event loop; dropped when context is gone by then.
void PostQueued(QObject* context, std::function<void()> call);

// Wakes the UI thread from the worker: posts a queued call of handle to the thread of context.
// The call is dropped when context is gone by the time the event loop reaches it.
class QueuedWaker final : public UiWaker {
public:
    QueuedWaker(QObject* context, std::function<void()> handle)
        : context_(context), handle_(std::move(handle)) {}
    void Wake() override;

private:
    QObject* context_;
    std::function<void()> handle_;
};

}  // namespace haojian
