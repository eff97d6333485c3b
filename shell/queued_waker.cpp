#include "shell/queued_waker.h"

#include <QMetaObject>
#include <utility>

namespace haojian {

void PostQueued(QObject* context, std::function<void()> call) {
    QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

void QueuedWaker::Wake() {
    PostQueued(context_, handle_);
}

}  // namespace haojian
