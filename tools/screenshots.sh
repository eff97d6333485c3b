#!/usr/bin/env bash
# Takes screenshots of the main window on a private X server (Xvfb) into docs/:
#   docs/window_idle.png       the window as it opens
#   docs/window_after_run.png  after importing a list of numbers and a complete query run
#   docs/window_layouts.png    the export's layout box dropped down
#   docs/window_menu.png       the result list's right-click menu over a few selected rows
#   docs/window_statistics.png the statistics window of that run
#   docs/window_split_export.png the split export's dialog (分类导出..., the list's last item)
#   docs/window_sheet_choice.png, docs/window_column_choice.png  the dialogs of a workbook's
#                              import that ask for its sheet and its number column
# The program is driven as a user would, with xdotool. Needs a build (tools/build.sh build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bin=$root/build/bin
source "$root/tests/e2e/lib/xvfb.sh"
mkdir -p docs

work=$(mktemp -d)
database=$root/data/kelvaronset.dat
if [ ! -f "$database" ]; then
    # A few segments of each carrier when the shipped database is not there.
    database=$work/database.dat
    printf '%s\r\n' 138001005011 138001105021 139000107011 133000013013 189000001002 \
        170000032014 186000009013 150000015011 >"$database"
fi
# A list of numbers in those segments and a few in none; from the shipped database, segments
# spread over the whole file, so that the statistics show many provinces.
if [ "$database" = "$root/data/kelvaronset.dat" ]; then
    prefixes=$(awk 'NR % 4001 == 1 { print substr($0, 1, 7) }' "$database")
else
    prefixes="1380010 1380011 1390001 1330000 1890000 1700000 1860000 1500000"
fi
for i in $(seq 1 40); do
    for prefix in $prefixes 1740000; do
        printf '%s%04d\r\n' "$prefix" "$((i * 37 % 10000))"
    done
done >"$work/numbers.txt"

dir=$(program_directory "$bin" "$database")
cleanup() { stop_xvfb; rm -rf "$work" "$dir"; }
start_xvfb 1024x768x24
trap cleanup EXIT
"$dir/haojian" >"$work/out.log" 2>&1 &
APP_PID=$!
id=$(wait_for_window 'V1\.1' 30)
sleep 1
import -window "$id" docs/window_idle.png

import_list "$id" "$work/numbers.txt"
# Query, then wait for the run and the timer tick that fills the filter boxes.
xdotool mousemove --window "$id" 90 14 click 1
sleep 4
xdotool mousemove --window "$id" 400 460
sleep 0.5
import -window "$id" docs/window_after_run.png

# The layout box dropped down (its list is a window of its own, so the shot is taken from the
# screen), then closed again.
xdotool mousemove --window "$id" 745 48 click 1
sleep 1
eval "$(xdotool getwindowgeometry --shell "$id")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/window_layouts.png
xdotool key Escape
sleep 0.5

# A few rows selected, then the right-click menu over them; the menu is a window of its own,
# so the shot is taken from the screen.
xdotool mousemove --window "$id" 100 110 click 1
xdotool keydown shift key Down Down Down keyup shift
xdotool mousemove --window "$id" 200 150 click 3
sleep 1
eval "$(xdotool getwindowgeometry --shell "$id")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/window_menu.png

# Statistics: the third item from the menu's end.
xdotool key Up Up Up Return
stats=$(wait_for_window "$(printf '^统计$')" 20)
sleep 1
import -window "$stats" docs/window_statistics.png

# The split export's dialog, from the item above the menu's last one.
xdotool windowfocus --sync "$stats" 2>/dev/null || true
xdotool key Escape
sleep 1
xdotool mousemove --window "$id" 200 150 click 3
sleep 1
xdotool key Up Up Return
split=$(wait_for_window "$(printf '^分类导出$')" 20)
sleep 1
import -window "$split" docs/window_split_export.png
xdotool key Escape
sleep 0.5

# A workbook with two visible sheets and two columns of numbers: both dialogs, each taken as
# Enter takes it.
import_list "$id" "$root/tests/data/tables/openpyxl.xlsx"
sheet=$(wait_for_window '选择工作表' 20)
sleep 1
import -window "$sheet" docs/window_sheet_choice.png
xdotool windowfocus --sync "$sheet" 2>/dev/null || true
xdotool key Return
column=$(wait_for_window '选择号码列' 20)
sleep 1
import -window "$column" docs/window_column_choice.png
xdotool windowfocus --sync "$column" 2>/dev/null || true
xdotool key Return
echo "docs/window_idle.png docs/window_after_run.png docs/window_layouts.png docs/window_menu.png" \
    "docs/window_statistics.png"
echo "docs/window_split_export.png docs/window_sheet_choice.png docs/window_column_choice.png"
