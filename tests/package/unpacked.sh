#!/usr/bin/env bash
# The package unpacked into a temporary root works from there: haojian-cli, started through
# its link in usr/bin, finds the database beside the real program; haojian opens its window on
# a real X server without the missing-database reminder, as the class its menu entry names;
# and neither writes anything into the installed tree.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/unpacked_package.sh"
source "$here/../e2e/lib/xvfb.sh"
touch "$work/unpacked"
sleep 1
mkdir -p "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/home
cd "$work"

# Numbers from the first segments of the shipped database, and one that is in none.
database=$root/usr/lib/haojian/kelvaronset.dat
head -n 3 "$database" | cut -c1-7 | sed 's/$/0000/' >numbers.txt
echo 1234 >>numbers.txt
"$root/usr/bin/haojian-cli" lookup --utf8 numbers.txt >found.txt ||
    { echo "lookup through the link failed"; exit 1; }
"$root/usr/lib/haojian/haojian-cli" lookup --utf8 --db "$database" numbers.txt >expected.txt
cat found.txt
cmp -s found.txt expected.txt || { echo "lookup through the link differs from --db"; exit 1; }
if head -n 3 found.txt | cut -f2 | grep -qx '未知'; then
    echo "a number of the database was not found"
    exit 1
fi

start_xvfb
cleanup() { stop_xvfb; rm -rf "$work"; }
trap cleanup EXIT
"$root/usr/bin/haojian" >"$work/out.log" 2>&1 &
APP_PID=$!
id=$(wait_for_window 'V1\.1' 30) || { echo "no main window mapped"; cat "$work/out.log"; exit 1; }
sleep 1
# The reminder would be a box captioned with the application title.
if xdotool search --onlyvisible --name 'V1\.0' >/dev/null 2>&1; then
    echo "a box came up beside the window: the database was not found"
    exit 1
fi
kill -0 "$APP_PID" || { echo "the program ended"; cat "$work/out.log"; exit 1; }
# Desktops match the window to its menu entry by this class.
class=$(window_class "$id")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$root"/usr/share/applications/*.desktop)
case "$class" in
    *"\"$wm_class\""*) ;;
    *) echo "window class $class, the menu entry names '$wm_class'"; exit 1 ;;
esac
echo "window mapped: $(window_name "$id"), class $class"
stop_xvfb

written=$(find "$root" -newer "$work/unpacked")
if [ -n "$written" ]; then
    echo "written into the installed tree:"
    echo "$written"
    exit 1
fi
echo "unpacked package checks passed"
