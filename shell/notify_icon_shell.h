#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "window/taskbar_icon_logic.h"

class QSystemTrayIcon;

namespace haojian {

// A hidden receiver of window messages: it has no window on screen, only a procedure that
// handles what is sent or posted to it.
class MessageWindow : public QObject {
    Q_OBJECT
public:
    using Procedure =
        std::function<std::intptr_t(unsigned message, std::uintptr_t wparam, std::intptr_t lparam)>;

    explicit MessageWindow(Procedure procedure) : procedure_(std::move(procedure)) {}

    // Runs the procedure now and gives its result.
    std::intptr_t Send(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);
    // Runs the procedure later from the event loop; dropped if the window goes first.
    void Post(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

private:
    Procedure procedure_;
};

// The record that describes one icon of the notification area. An icon is known by its
// message window and its identifier.
struct NotifyIconData {
    static constexpr std::uint32_t kRecordSize = 88;

    std::uint32_t cbSize = 0;
    MessageWindow* hWnd = nullptr;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    // Sent to hWnd with uID as first and the mouse message as second parameter.
    std::uint32_t uCallbackMessage = 0;
    QIcon hIcon;
    // GBK bytes, zero-terminated.
    std::array<char, 64> szTip{};
};

// Adds, changes and removes icons of the notification area. False when the area refuses
// (a second add of one icon, a change or removal of an icon that is not there).
class NotifyIconShell {
public:
    virtual ~NotifyIconShell() = default;
    virtual bool NotifyIcon(NotifyIconCommand command, const NotifyIconData& data) = 0;
    // True while the desktop has a notification area to show icons in. It may come and go.
    virtual bool Available() = 0;
};

// The desktop's notification area through QSystemTrayIcon. Its clicks come back as the
// callback messages of the icon's record: a click as left button down and up, a double
// click as double click and up, a context request as right button down and up.
class TrayNotifyIconShell final : public NotifyIconShell {
public:
    TrayNotifyIconShell();
    ~TrayNotifyIconShell() override;
    TrayNotifyIconShell(const TrayNotifyIconShell&) = delete;
    TrayNotifyIconShell& operator=(const TrayNotifyIconShell&) = delete;

    bool NotifyIcon(NotifyIconCommand command, const NotifyIconData& data) override;
    bool Available() override;

private:
    struct Entry;
    using Key = std::pair<const MessageWindow*, std::uint32_t>;

    void Apply(Entry& entry, const NotifyIconData& data);

    std::map<Key, std::unique_ptr<Entry>> icons_;
};

}  // namespace haojian
