#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace haojian {

// The mouse messages the notification area reports on an icon (the second parameter of the
// icon's callback message), and the messages around them.
namespace message {
inline constexpr unsigned kNull = 0;
inline constexpr unsigned kLeftButtonDown = 513;
inline constexpr unsigned kLeftButtonUp = 514;
inline constexpr unsigned kLeftButtonDoubleClick = 515;
inline constexpr unsigned kRightButtonDown = 516;
inline constexpr unsigned kRightButtonUp = 517;
inline constexpr unsigned kMiddleButtonDown = 519;
inline constexpr unsigned kMiddleButtonUp = 520;
inline constexpr unsigned kUser = 1024;
}  // namespace message

// Bits of the icon record's flags: which fields the notification area reads.
inline constexpr std::uint32_t kNotifyIconMessage = 1;
inline constexpr std::uint32_t kNotifyIconIcon = 2;
inline constexpr std::uint32_t kNotifyIconTip = 4;

enum class NotifyIconCommand { Add = 0, Modify = 1, Delete = 2 };

enum class TrayButton { Left, Right };

// What a tray icon asks of its platform: the notification area, and the steps of a click that
// touch the platform's windows and menus. Every call comes on the UI thread.
class TaskbarIconPlatform {
public:
    virtual ~TaskbarIconPlatform() = default;
    // Fills the platform's icon record from the icon's state now and makes one call to the
    // notification area. False when the area refuses (a second add, a change of an icon it
    // does not hold).
    virtual bool NotifyIcon(NotifyIconCommand command) = 0;
    // A press on the icon; a right press brings the icon's message window forward first, so
    // that the menu closes when the user clicks elsewhere.
    virtual void MouseDown(TrayButton button) = 0;
    // A release; it first brings the application's window forward.
    virtual void MouseUp(TrayButton button) = 0;
    virtual void Click() = 0;
    virtual void DblClick() = 0;
    // Opens the icon's menu at the pointer and returns once it has closed.
    virtual void PopupAtCursor() = 0;
    // The icon entered or left the notification area through Visible.
    virtual void Shown() = 0;
    virtual void Hidden() = 0;
};

// The click and visibility logic of the tray icon component, for both windows: the icon is
// added when it becomes visible and removed when hidden, a new identifier removes and adds a
// shown icon again, a disabled icon ignores every click, a left press and release make a
// click (a double click gives one click, from its first release), a right release opens the
// menu, and a restarted notification area gets the shown icon back.
//
// A step of a click may end the component that owns this logic (a menu command closing the
// window): nothing is touched after a step that did.
class TaskbarIconLogic {
public:
    // The record's tip field holds 63 bytes and a terminating zero.
    static constexpr std::size_t kMaxHintBytes = 63;

    explicit TaskbarIconLogic(TaskbarIconPlatform& platform) : platform_(platform) {}
    TaskbarIconLogic(const TaskbarIconLogic&) = delete;
    TaskbarIconLogic& operator=(const TaskbarIconLogic&) = delete;

    int IconID() const { return icon_id_; }
    bool Visible() const { return visible_; }
    bool Enabled() const { return enabled_; }
    // GBK bytes.
    const std::string& Hint() const { return hint_; }
    std::uint32_t IconFlags() const { return icon_flags_; }
    // True while the notification area holds the icon, as its last answer said: there is a
    // tray for the window to hide in.
    bool Docked() const { return docked_; }

    void SetIconID(int id);
    void SetVisible(bool visible);
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    // Keeps at most 63 bytes, never half a double-byte character, then updates the icon.
    void SetHint(std::string_view gbk_hint);
    // The owner has finished building its components: a visible icon enters the area.
    void Loaded();

    void ShowIcon();
    void HideIcon();
    // Sends the icon's record as it is now (a new picture or tip).
    void UpDate();

    // The icon's callback with one mouse message; false when the icon is disabled, and the
    // message belongs to the default procedure.
    bool Mouse(unsigned mouse_message);

    // The notification area (re)started and holds no icons: a shown icon is added again. The
    // same news also comes without a restart (any program may broadcast it); an icon the area
    // still holds refuses the add and is kept as it is.
    void AreaRestarted();

private:
    void Add();

    TaskbarIconPlatform& platform_;
    int icon_id_ = 0;
    std::uint32_t icon_flags_ = kNotifyIconMessage | kNotifyIconTip;
    bool visible_ = false;
    bool enabled_ = true;
    bool docked_ = false;
    bool left_button_pressed_ = false;
    std::string hint_;
    // Expires with this object: a step that ended the owner is seen through it.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

// The longest prefix of at most limit bytes that does not end inside a double-byte GBK
// character.
std::string_view GbkPrefix(std::string_view text, std::size_t limit);

}  // namespace haojian
