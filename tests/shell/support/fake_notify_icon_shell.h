#pragma once

#include <QIcon>
#include <QPixmap>

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "shell/notify_icon_shell.h"

namespace haojian::testing {

// A notification area that records every call and answers like the real one: a second add
// of one icon, or a change or removal of an absent icon, is refused. It can be told to throw.
class FakeNotifyIconShell final : public NotifyIconShell {
public:
    struct Call {
        NotifyIconCommand command;
        NotifyIconData data;
        bool accepted;
        std::string Tip() const { return data.szTip.data(); }
    };

    bool NotifyIcon(NotifyIconCommand command, const NotifyIconData& data) override {
        if (throw_on_ && *throw_on_ == command) throw std::runtime_error("shell failed");
        const std::pair<const MessageWindow*, std::uint32_t> key{data.hWnd, data.uID};
        bool accepted = false;
        switch (command) {
            case NotifyIconCommand::Add:
                accepted = shown_.insert(key).second;
                break;
            case NotifyIconCommand::Modify:
                accepted = shown_.count(key) != 0;
                break;
            case NotifyIconCommand::Delete:
                accepted = shown_.erase(key) != 0;
                break;
        }
        calls.push_back({command, data, accepted});
        return accepted;
    }

    bool Available() override { return available; }

    int Shown() const { return int(shown_.size()); }
    void ThrowOn(NotifyIconCommand command) { throw_on_ = command; }

    std::vector<Call> calls;
    // Whether the desktop has a notification area now.
    bool available = true;

private:
    std::set<std::pair<const MessageWindow*, std::uint32_t>> shown_;
    std::optional<NotifyIconCommand> throw_on_;
};

// A 16 x 16 icon of one colour.
inline QIcon SolidIcon(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

}  // namespace haojian::testing
