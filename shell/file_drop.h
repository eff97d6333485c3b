#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

namespace haojian {

// Takes one local file dragged onto the watched widgets and hands its path on: the window
// imports a list dropped on it as Import would. A drag is refused (the pointer says so) while
// accepting() is false, and when it carries anything but a single local file.
class FileDrop : public QObject {
    Q_OBJECT
public:
    FileDrop(QObject* parent, std::function<bool()> accepting,
             std::function<void(const QString& path)> take);

    // Handles the drags and drops that reach target (for a scroll area, its viewport).
    void Watch(QWidget* target);
    // The one local file the data names, or empty.
    static QString DroppedFile(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> accepting_;
    std::function<void(const QString&)> take_;
};

}  // namespace haojian
