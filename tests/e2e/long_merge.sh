#!/usr/bin/env bash
# A long merge does not freeze the window: while the merge runs (held on a slow disk), the
# window shows the busy status, takes a click that opens the About window, and repaints what
# that window covered; the merge then completes and writes its file.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/xvfb.sh"
source "$here/lib/tray.sh"

start_program_test "$1"

# Reads of the sources wait while the hold file is there.
g++ -x c -shared -fPIC -O1 -o "$work/slow_read.so" "$here/lib/slow_read.c" -ldl
mkdir "$work/src"
printf '3\r\n1\r\n2\r\n' >"$work/src/a.txt"
printf '2\r\n4\r\n' >"$work/src/b.txt"
touch "$work/hold"

LD_PRELOAD="$work/slow_read.so" SLOW_READ_MATCH="$work/src/" SLOW_READ_HOLD="$work/hold" \
    "$dir/haojian" >"$work/out.log" 2>&1 &
APP_PID=$!
main=$(wait_for_window 'V1\.1' 30) || fail "no main window mapped"
sleep 1
import -window "$main" "$work/before.png"

# Merge: the two sources typed into the open dialog, then the output into the save dialog.
xdotool mousemove --window "$main" 270 14 click 1
open=$(wait_for_window '^选择待合并的数据文件$' 20) || fail "no open dialog"
xdotool windowfocus --sync "$open" 2>/dev/null || true
sleep 0.5
xdotool type --delay 5 "\"$work/src/a.txt\" \"$work/src/b.txt\""
xdotool key Return
save=$(wait_for_window '^合并后的数据文件保存为$' 20) || fail "no save dialog"
xdotool windowfocus --sync "$save" 2>/dev/null || true
sleep 0.5
xdotool type --delay 5 "$work/merged.txt"
xdotool key Return
wait_for_no_window '^合并后的数据文件保存为$' 10 || fail "the save dialog stayed"
sleep 1
[ ! -e "$work/merged.txt" ] || fail "the merge was not held"
echo "the merge runs, held on the slow disk"

# The window takes a click while the merge runs: About opens over it.
xdotool mousemove --window "$main" 390 14 click 1
about=$(wait_for_window '^关于本软件$' 10) || fail "the window took no click during the merge"
eval "$(xdotool getwindowgeometry --shell "$about")"
about_x=$X about_y=$Y about_w=$WIDTH about_h=$HEIGHT
press_until_gone "$about" Escape focus || fail "the About window did not close"
sleep 1
import -window "$main" "$work/during.png"
[ ! -e "$work/merged.txt" ] || fail "the merge ended before the window was looked at"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"

# What the About window covered is painted again as it was; the status bar is not as it was.
eval "$(xdotool getwindowgeometry --shell "$main")"
region="${about_w}x${about_h}+$((about_x - X))+$((about_y - Y))"
changed=$(compare -metric AE "$work/before.png[$region]" "$work/during.png[$region]" null: 2>&1 || true)
[ "$changed" = "0" ] || fail "the covered part was not repainted ($changed pixels differ in $region)"
status="$((WIDTH - 300))x16+300+$((HEIGHT - 18))"
changed=$(compare -metric AE "$work/before.png[$status]" "$work/during.png[$status]" null: 2>&1 || true)
[ "$changed" != "0" ] || fail "the status bar did not show the merge"
echo "during the merge the window took a click, repainted, and showed its status"

rm "$work/hold"
wait_until 20 test -e "$work/merged.txt" || fail "the merge did not end"
[ "$(cat "$work/merged.txt")" = "$(printf '1\r\n2\r\n3\r\n4\r')" ] || fail "merged: $(od -c "$work/merged.txt")"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended with the merge"
echo "the merge completed and wrote its file"
