#!/usr/bin/env bash
# Minimising where there is no notification area, under a real window manager (openbox): the
# window is minimised with its task-bar entry kept (it stays a managed client) and comes back.
# A tray that appears later takes the icon, and minimising then hides the window to it; a tray
# that goes away while the window is hidden in it gives the window back.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/xvfb.sh"
source "$here/lib/tray.sh"

start_program_test "$1"
start_window_manager || fail "openbox did not start"

env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb "$dir/haojian" >"$work/out.log" 2>&1 &
APP_PID=$!
main=$(wait_for_window 'V1\.1' 30) || fail "no main window mapped"
wait_until 10 is_client "$main" || fail "the window manager does not manage the main window"
echo "main window $main mapped and managed, no tray"

xdotool windowminimize "$main"
wait_until 10 is_iconic "$main" || fail "the window manager did not minimise the window"
# Give the program time to react as it would with a tray: it must keep the window.
sleep 2
is_client "$main" || fail "minimised without a tray, the window left the client list"
is_iconic "$main" || fail "minimised without a tray, the window was withdrawn"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
echo "minimised without a tray: still in _NET_CLIENT_LIST, iconic"

xdotool windowactivate "$main" 2>/dev/null || true
wait_until 10 is_viewable "$main" || fail "the minimised window did not come back"
echo "the window came back from the task bar"

# A tray appears: the icon docks, and minimising now hides the window to it.
start_tray_host
wait_until 20 tray_icon >/dev/null || fail "the icon did not dock in a tray started later"
xdotool windowminimize "$main"
wait_until 10 is_not_client "$main" || fail "with a tray, minimising did not hide the window"
echo "a tray started later took the icon; minimising hid the window to it"

# The tray goes away while the window is hidden in it: the window comes back.
stop_tray_host
wait_until 10 is_viewable "$main" || fail "the tray went away and the window stayed hidden"
wait_until 10 is_client "$main" || fail "the window came back unmanaged"
echo "the tray went away; the window came back"
