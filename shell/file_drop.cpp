#include "shell/file_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace haojian {

FileDrop::FileDrop(QObject* parent, std::function<bool()> accepting,
                   std::function<void(const QStringList& paths)> take)
    : QObject(parent), accepting_(std::move(accepting)), take_(std::move(take)) {}

void FileDrop::Watch(QWidget* target) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

QStringList FileDrop::DroppedFiles(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (DroppedFiles(drag->mimeData()).isEmpty()) return false;  // the widget's own
            if (accepting_()) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList paths = DroppedFiles(drop->mimeData());
            if (paths.isEmpty()) return false;
            if (accepting_()) {
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                // Taken once the drop is over: the import may show a modal error box, which
                // must not hold up the program the file was dragged from.
                QMetaObject::invokeMethod(
                    this, [this, paths] { take_(paths); }, Qt::QueuedConnection);
            } else {
                drop->ignore();
            }
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace haojian
