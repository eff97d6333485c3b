#!/usr/bin/env bash
# Takes screenshots of the main window on a private X server (Xvfb) into docs/:
#   docs/window_idle.png       the window as it opens
#   docs/window_after_run.png  after importing a list of numbers and a complete query run
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
# A list of numbers in those segments and a few in none.
for i in $(seq 1 300); do
    for prefix in 1380010 1380011 1390001 1330000 1890000 1700000 1860000 1500000 1740000; do
        printf '%s%04d\r\n' "$prefix" "$i"
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
echo "docs/window_idle.png docs/window_after_run.png"
