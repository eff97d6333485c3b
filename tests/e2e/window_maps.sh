#!/usr/bin/env bash
# The built program opens its main window on a real X server, with the exact caption: no
# application name appended to it.
set -euo pipefail
bin=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/xvfb.sh"

work=$(mktemp -d)
printf '138001005011\r\n133000013013\r\n' >"$work/database.dat"
dir=$(program_directory "$bin" "$work/database.dat")
cleanup() { stop_xvfb; rm -rf "$work" "$dir"; }
start_xvfb
trap cleanup EXIT

"$dir/haojian" >"$work/out.log" 2>&1 &
APP_PID=$!

id=$(wait_for_window 'V1\.1' 30) || { echo "no main window mapped"; cat "$work/out.log"; exit 1; }
name=$(window_name "$id")
expected='【瓴岚号鉴】 V1.1'
if [ "$name" != "$expected" ]; then
    echo "caption is '$name', expected '$expected'"
    exit 1
fi
# The task bar names the program by its title, which Qt gives as the window's class.
class=$(window_class "$id")
case "$class" in
    *'【瓴岚号鉴】 V1.0'*) ;;
    *) echo "window class is '$class', expected the title 【瓴岚号鉴】 V1.0"; exit 1 ;;
esac
# The window opens 784 x 562 inside its frame.
geometry=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')
if [ "$geometry" != "784x562" ]; then
    echo "window size is $geometry, expected 784x562"
    exit 1
fi
echo "main window mapped: $name ($geometry)"

# Exit asks first: Escape answers No and the program runs on; Enter takes the default Yes and
# the program ends.
exit_button() { xdotool mousemove --window "$id" 449 14 click 1; }
exit_button
wait_for_window '^确认$' 10 >/dev/null || { echo "no confirmation box"; exit 1; }
xdotool key Escape
wait_for_no_window '^确认$' 10 || { echo "Escape left the confirmation box open"; exit 1; }
sleep 0.5
kill -0 "$APP_PID" || { echo "the program ended although the answer was No"; exit 1; }
exit_button
wait_for_window '^确认$' 10 >/dev/null || { echo "no confirmation box the second time"; exit 1; }
xdotool key Return
for _ in $(seq 1 100); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$APP_PID" 2>/dev/null; then
    echo "the program did not end after Yes"
    exit 1
fi
status=0
wait "$APP_PID" || status=$?
APP_PID=
[ "$status" -eq 0 ] || { echo "the program ended with status $status"; exit 1; }
echo "exit confirmed: No keeps the program, Yes ends it"
