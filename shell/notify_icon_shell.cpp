#include "shell/notify_icon_shell.h"

#include <QSystemTrayIcon>

#include <cstring>
#include <string_view>

#include "shell/gbk_text.h"

namespace haojian {

std::intptr_t MessageWindow::Send(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    return procedure_ ? procedure_(message, wparam, lparam) : 0;
}

void MessageWindow::Post(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    // A queued call on this object is discarded when the object is destroyed first.
    QMetaObject::invokeMethod(
        this, [this, message, wparam, lparam] { Send(message, wparam, lparam); },
        Qt::QueuedConnection);
}

struct TrayNotifyIconShell::Entry {
    QSystemTrayIcon tray;
    QPointer<MessageWindow> window;
    std::uint32_t id = 0;
    // Zero while the record asks for no callbacks.
    std::uint32_t callback = 0;
};

namespace {

QString TipText(const NotifyIconData& data) {
    const std::size_t length = strnlen(data.szTip.data(), data.szTip.size());
    return FromGbk(std::string_view(data.szTip.data(), length));
}

}  // namespace

TrayNotifyIconShell::TrayNotifyIconShell() = default;
TrayNotifyIconShell::~TrayNotifyIconShell() = default;

void TrayNotifyIconShell::Apply(Entry& entry, const NotifyIconData& data) {
    if (data.uFlags & kNotifyIconMessage) entry.callback = data.uCallbackMessage;
    if (data.uFlags & kNotifyIconIcon) entry.tray.setIcon(data.hIcon);
    if (data.uFlags & kNotifyIconTip) entry.tray.setToolTip(TipText(data));
}

bool TrayNotifyIconShell::Available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayNotifyIconShell::NotifyIcon(NotifyIconCommand command, const NotifyIconData& data) {
    const Key key{data.hWnd, data.uID};
    const auto found = icons_.find(key);
    switch (command) {
        case NotifyIconCommand::Add: {
            if (found != icons_.end() || data.hWnd == nullptr) return false;
            auto entry = std::make_unique<Entry>();
            entry->window = data.hWnd;
            entry->id = data.uID;
            Apply(*entry, data);
            Entry* e = entry.get();
            // The notification area of Windows reports a click as button down and up, and
            // the second click of a double click as double click and up; the icon's owner
            // relies on that sequence.
            QObject::connect(&e->tray, &QSystemTrayIcon::activated,
                             [e](QSystemTrayIcon::ActivationReason reason) {
                                 if (e->callback == 0 || !e->window) return;
                                 auto post = [e](unsigned mouse) {
                                     e->window->Post(e->callback, e->id, std::intptr_t(mouse));
                                 };
                                 switch (reason) {
                                     case QSystemTrayIcon::Trigger:
                                         post(message::kLeftButtonDown);
                                         post(message::kLeftButtonUp);
                                         break;
                                     case QSystemTrayIcon::DoubleClick:
                                         post(message::kLeftButtonDoubleClick);
                                         post(message::kLeftButtonUp);
                                         break;
                                     case QSystemTrayIcon::Context:
                                         post(message::kRightButtonDown);
                                         post(message::kRightButtonUp);
                                         break;
                                     case QSystemTrayIcon::MiddleClick:
                                         post(message::kMiddleButtonDown);
                                         post(message::kMiddleButtonUp);
                                         break;
                                     case QSystemTrayIcon::Unknown:
                                         break;
                                 }
                             });
            e->tray.show();
            icons_.emplace(key, std::move(entry));
            return true;
        }
        case NotifyIconCommand::Modify:
            if (found == icons_.end()) return false;
            Apply(*found->second, data);
            return true;
        case NotifyIconCommand::Delete:
            if (found == icons_.end()) return false;
            icons_.erase(found);
            return true;
    }
    return false;
}

}  // namespace haojian
