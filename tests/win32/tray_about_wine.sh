#!/usr/bin/env bash
# haojian.exe under wine on Xvfb with a real XEmbed notification area (trayer): the tray icon
# docks; minimising hides the window and its task-bar entry, and a click on the icon or the
# icon's menu brings it back; About opens and a press on its link hands the address to the
# shell, seen through a stand-in for the https handler that writes what it got into a file;
# About and the statistics close with Escape, and the statistics go to the tray and come back
# with the main window, in front of it.
# Usage: tray_about_wine.sh BIN_DIR WINE_PREFIX
# The prefix given is not used: the test makes one of its own, whose registry it changes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/tests/e2e/lib/xvfb.sh"
source "$root/tests/e2e/lib/tray.sh"
source "$here/lib/own_prefix.sh"

start_own_prefix_test "$1"
printf '138001005011\r\n' >"$work/kelvaronset.dat"
# The stand-in handler: what the shell would hand a browser lands in opened.txt.
for scheme in http https; do
    wine_run reg add "HKLM\\Software\\Classes\\$scheme\\shell\\open\\command" /ve /f \
        /d "C:\\windows\\system32\\cmd.exe /c echo %1>$(win "$work/opened.txt")" >/dev/null
done
# A panel of fixed width: one that grows when the icon docks also moves (it is aligned right),
# and wine's record of it then at times keeps the place it had before, a late event of its own
# undoing the move. Wine then places the icon beyond the screen's edge and drops every click
# on it, while X shows it in the panel.
start_tray_host 48

wine_run "$work/haojian.exe" >"$work/out.log" 2>&1 &
APP_PID=$!
wait_for_window 'V1\.1' 60 >/dev/null || fail "no main window mapped"

# The icon: a window of wine's shell (explorer.exe) embedded in trayer's panel.
wine_tray_icon() {
    local panel id
    panel=$(tray_panel) || return 1
    id=$(xwininfo -tree -id "$panel" | awk '/: \("explorer.exe" / { print $1; exit }')
    [ -n "$id" ] && echo "$id"
}
no_wine_tray_icon() { ! wine_tray_icon >/dev/null; }
wait_until 20 wine_tray_icon >/dev/null || fail "the tray icon did not dock"
icon=$(wine_tray_icon)
echo "tray icon docked: $icon"
# A click reaches the icon only where wine places it too: wait until one on its middle would.
icon_middle() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$icon")"
    echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
}
# shellcheck disable=SC2046  # two words, x and y
wine_places_icon() { [ "$(probe window-at $(icon_middle))" = __winex11_tray_icon ]; }
# shellcheck disable=SC2046
wait_until 10 wine_places_icon ||
    fail "wine does not place the tray icon where X shows it: at $(icon_middle) it finds" \
        "$(probe window-at $(icon_middle))"

main_hidden() {
    [ "$(probe visible TForm1)" = 0 ] && [ "$(probe visible TApplication)" = 0 ] &&
        wait_for_no_window 'V1\.1' 1
}
main_shown() {
    [ "$(probe visible TForm1)" = 1 ] && [ "$(probe visible TApplication)" = 1 ] &&
        wait_for_window 'V1\.1' 1 >/dev/null
}

# Opens the icon's menu and presses an item's accelerator key over it.
tray_menu_key() {
    # shellcheck disable=SC2034  # set by an eval below, kept local
    local key=$1 before menu X Y WIDTH HEIGHT SCREEN WINDOW
    before=$(xdotool search --onlyvisible --class 'haojian\.exe' | sort) || true
    click_middle_of "$icon" 3
    new_menu() {
        menu=$(xdotool search --onlyvisible --class 'haojian\.exe' | sort |
            grep -vxF -f <(printf '%s\n' $before) | head -n 1) || true
        [ -n "$menu" ]
    }
    wait_until 10 new_menu || fail "the tray icon's menu did not open"
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    # Keys go to the window under the pointer: there is no window manager to give focus.
    xdotool mousemove "$((X + WIDTH / 2))" "$((Y + 8))"
    sleep 0.3
    xdotool key "$key"
}

# Minimised, the window goes into the tray: a left click on the icon brings it back.
probe minimise
wait_until 20 main_hidden || fail "minimise left the window shown"
wine_tray_icon >/dev/null || fail "the tray icon left when the window was minimised"
click_middle_of "$icon" 1
wait_until 20 main_shown || fail "a click on the tray icon did not restore the window"
echo "minimise to the tray, a click on the icon restores: ok"

# The notification area says it has (re)started: the icon stays, and minimising still hides
# the window into the tray.
probe taskbar-created
sleep 1
wine_tray_icon >/dev/null || fail "the tray icon left after TaskbarCreated"
probe minimise
wait_until 20 main_hidden || fail "after TaskbarCreated, minimise left the window shown"
click_middle_of "$icon" 1
wait_until 20 main_shown || fail "after TaskbarCreated, a click on the icon did not restore"
echo "TaskbarCreated, then minimise to the tray: ok"

# The menu: 最小化显示(&M) hides the window, 显示主程序(&S) shows it again.
tray_menu_key m
wait_until 20 main_hidden || fail "the tray menu's 最小化显示 left the window shown"
tray_menu_key s
wait_until 20 main_shown || fail "the tray menu's 显示主程序 did not restore the window"
echo "the tray menu hides and shows the window: ok"

# About, then a press on its home-page link.
probe click 106
wait_for_window '关于本软件' 20 >/dev/null || fail "About did not open"
read -r x y width height < <(probe rect TForm2 1) || fail "no link in About"
xdotool mousemove "$((x + width / 2))" "$((y + height / 2))" click 1
wait_until 30 test -s "$work/opened.txt" || fail "the link asked the shell for nothing"
[ "$(cat "$work/opened.txt")" = $'https://haojian.example.org/\r' ] ||
    fail "the shell was asked to open '$(cat "$work/opened.txt")'"
echo "About's link opens $(tr -d '\r' <"$work/opened.txt"): ok"
# Escape closes it.
probe escape TForm2
wait_for_no_window '关于本软件' 10 || fail "Escape did not close About"

# Statistics open over the main window; the tray menu's 最小化显示 takes them along, and they
# come back in front of the main window; Escape closes them.
probe click 1103
wait_for_window '^统计$' 20 >/dev/null || fail "统计... opened no window"
read -r mx my mw mh < <(probe rect TForm1) || fail "no main window"
read -r sx sy sw sh < <(probe rect TStatisticsWindow) || fail "no statistics window"
((sx + sw / 2 > mx && sx + sw / 2 < mx + mw && sy + sh / 2 > my && sy + sh / 2 < my + mh)) ||
    fail "statistics at $sx,$sy ${sw}x$sh, not over the main window at $mx,$my ${mw}x$mh"
statistics_shown() { [ "$(probe visible TStatisticsWindow)" = 1 ]; }
tray_menu_key m
wait_until 20 main_hidden || fail "the tray menu's 最小化显示 left the window shown"
! statistics_shown || fail "最小化显示 left the statistics window on screen"
click_middle_of "$icon" 1
wait_until 20 main_shown || fail "a click on the tray icon did not restore the window"
wait_until 10 statistics_shown || fail "the statistics window did not come back"
[ "$(probe above TStatisticsWindow TForm1)" = 1 ] ||
    fail "the statistics window came back behind the main window"
probe escape TStatisticsWindow
wait_until 10 eval '! statistics_shown' || fail "Escape did not close the statistics window"
echo "statistics over the main window, through the tray and closed by Escape: ok"

# Exit: the icon leaves the notification area with the program.
probe click 107
probe box 6 >/dev/null
wait_until 20 process_ended "$APP_PID" || fail "Yes left the program running"
APP_PID=
wait_until 10 no_wine_tray_icon || fail "the tray icon stayed after the program ended"
echo "tray icon and About under wine: ok"
