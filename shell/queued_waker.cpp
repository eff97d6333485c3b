#include "shell/queued_waker.h"

#include <QMetaObject>

namespace haojian {

void QueuedWaker::Wake() {
    QMetaObject::invokeMethod(context_, handle_, Qt::QueuedConnection);
}

}  // namespace haojian
