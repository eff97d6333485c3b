#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

namespace haojian {

// Takes the local files and folders dragged onto the watched widgets and hands their paths on:
// the window imports one list dropped on it as Import would, and says why it refuses anything
// else. A drag is refused (the pointer says so) while accepting() is false, and when it
// carries no local file; the widgets keep the drags of other data (text, web addresses).
class FileDrop : public QObject {
    Q_OBJECT
public:
    FileDrop(QObject* parent, std::function<bool()> accepting,
             std::function<void(const QStringList& paths)> take);

    // Handles the drags and drops that reach target (for a scroll area, its viewport).
    void Watch(QWidget* target);
    // The local files and folders the data names; empty when it names something else too.
    static QStringList DroppedFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> accepting_;
    std::function<void(const QStringList&)> take_;
};

}  // namespace haojian
