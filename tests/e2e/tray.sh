#!/usr/bin/env bash
# The tray icon on a real X server with a real notification area (trayer): the icon docks;
# minimising hides the main window and withdraws it from the task bar; a click on the icon
# brings it back; a right click opens the icon's menu, whose exit asks the close question,
# shown or hidden; answering Yes ends the program and its icon leaves the tray.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/xvfb.sh"
source "$here/lib/tray.sh"

start_program_test "$1"
start_tray_host

# Without a session bus Qt docks through the X11 tray protocol, which trayer speaks.
env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb "$dir/haojian" >"$work/out.log" 2>&1 &
APP_PID=$!

main=$(wait_for_window 'V1\.1' 30) || fail "no main window mapped"
icon=$(wait_until 20 tray_icon >/dev/null && tray_icon) || fail "the icon did not dock in the tray"
echo "icon docked: window $icon in the tray, main window $main"

# Opens the icon's menu and chooses the item with the access key.
choose_from_menu() {
    local key=$1 before menu
    before=$(program_windows)
    click_middle_of "$icon" 3
    menu=$(wait_until 10 new_program_window "$before" >/dev/null && new_program_window "$before") ||
        fail "a right click on the icon opened no menu"
    press_until_gone "$menu" "$key" || fail "the menu stayed open after its item $key"
}

# Chooses Exit from the icon's menu; prints the close question's window.
exit_from_menu() {
    choose_from_menu e
    wait_for_window '^确认$' 10 || fail "exit from the menu asked no question"
}

# Answers No to the close question; the program runs on.
answer_no() {
    answer "$1" Escape
    sleep 0.5
    kill -0 "$APP_PID" 2>/dev/null || fail "answering No ended the program"
}

# Answers the close question with the key; the box goes away.
answer() {
    local box=$1 key=$2
    press_until_gone "$box" "$key" focus || fail "the question stayed after $key"
}

# Minimise: the window is withdrawn (it leaves the task bar), not merely iconified.
minimise "$main" || fail "minimising did not hide the window"
is_not_viewable "$main" || fail "the minimised window is still on screen"
echo "minimising hid the window"

click_middle_of "$icon" 1
wait_until 10 is_viewable "$main" || fail "a click on the icon did not bring the window back"
shown_again "$main"
echo "a click on the icon restored the window"

box=$(exit_from_menu)
answer_no "$box"
is_viewable "$main" || fail "answering No hid the window"
echo "exit from the menu asked the question; No kept the window"

minimise "$main" || fail "minimising did not hide the window"

# About from the tray: closing it returns to the tray, and the program goes on.
choose_from_menu a
about=$(wait_for_window '^关于本软件$' 10) || fail "About from the menu showed no window"
press_until_gone "$about" Escape focus || fail "the About window did not close"
sleep 0.5
kill -0 "$APP_PID" 2>/dev/null || fail "closing the About window in the tray ended the program"
is_not_viewable "$main" || fail "closing the About window showed the main window"
echo "About from the tray closed back to the tray"

# Hidden in the tray, the menu's exit asks too, and No leaves the window hidden.
box=$(exit_from_menu)
answer_no "$box"
is_not_viewable "$main" || fail "answering No in the tray showed the window"
echo "in the tray the question came too; No left the window hidden"

box=$(exit_from_menu)
answer "$box" Return
wait_until 10 process_ended "$APP_PID" || fail "answering Yes did not end the program"
APP_PID=
wait_until 10 no_tray_icon || fail "the icon stayed in the tray after the program ended"
echo "Yes ended the program and its icon left the tray"
