#!/usr/bin/env bash
# Takes screenshots of the installed program on a private X server (Xvfb) into docs/:
#   docs/menu_entry.png        the menu entry with its icon, in a launcher (rofi) that lists
#                              the desktop entries, under a Chinese locale
#   docs/file_dialog_zh.png    the export's save dialog, Qt's own, in Chinese
#   docs/replace_question.png  its question before an existing file is replaced
# tools/package_screenshots.sh --installed takes the packages installed on this system (apt
# install ./build/haojian_*.deb ./build/haojian-cli_*.deb); without it, they are made
# (tools/package.sh) and
# installed by dpkg into a temporary root that the launcher reads as a system's data folder. The program
# is started from its menu entry and driven with xdotool as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
source "$source_dir/tests/e2e/lib/xvfb.sh"
mkdir -p docs

work=$(mktemp -d)
root=
if [ "${1:-}" != --installed ]; then
    packages=$(tools/package.sh)
    mapfile -t debs <<<"$packages"
    root=$work/root
    # Installed by dpkg into the root, so that its scripts put the database in place.
    source "$source_dir/tests/package/lib/dpkg_root.sh"
    dpkg_root_init "$root"
    dpkg_in "$root" -i "${debs[@]}" >/dev/null
    export XDG_DATA_DIRS=$root/usr/share:/usr/share PATH=$root/usr/bin:$PATH
fi
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/home XDG_CONFIG_HOME=$work/home/.config
# Desktop entries pick their texts by the language; no installed locale is needed for that.
export LANGUAGE=zh_CN
start_xvfb 1024x768x24
cleanup() {
    if [ -n "${LAUNCHER_PID:-}" ]; then kill "$LAUNCHER_PID" 2>/dev/null || true; fi
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT

# A list of numbers from the first segments of the shipped database.
head -n 200 "$root/usr/lib/haojian/kelvaronset.dat" | cut -c1-7 | sed 's/$/1234\r/' \
    >"$work/numbers.txt"
printf 'old\r\n' >"$work/old.txt"

rofi -show drun -show-icons -theme-str 'window { width: 420px; }' \
    -theme-str 'element-icon { size: 32px; }' >"$work/rofi.log" 2>&1 &
LAUNCHER_PID=$!
launcher=$(wait_for_window '^rofi' 20) || { cat "$work/rofi.log"; exit 1; }
sleep 1
import -window root -crop "$(xdotool getwindowgeometry "$launcher" |
    sed -n 's/.*Geometry: //p')+$(xdotool getwindowgeometry "$launcher" |
    sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1+\2/p')" +repage docs/menu_entry.png
# Pick the entry and start it, as a user would.
xdotool type --delay 50 hao
sleep 0.5
xdotool key Return
LAUNCHER_PID=
window=$(wait_for_window 'V1\.1' 30)
APP_PID=$(xdotool getwindowpid "$window" 2>/dev/null || true)
sleep 1

# Import and query, then Export, the fourth button of the tool bar.
import_list "$window" "$work/numbers.txt"
xdotool mousemove --window "$window" 90 14 click 1
sleep 3
xdotool mousemove --window "$window" 210 14 click 1
dialog=$(wait_for_window '搜索结果保存为' 20)
sleep 1
import -window "$dialog" docs/file_dialog_zh.png

# An existing file's name: the dialog asks before it is replaced.
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key ctrl+a
xdotool type --delay 5 "$work/old.txt"
xdotool key Return
# The question carries the dialog's title.
question=
for _ in $(seq 1 100); do
    question=$(xdotool search --onlyvisible --name '搜索结果保存为' | grep -vx "$dialog" | head -n 1) || true
    [ -n "$question" ] && break
    sleep 0.1
done
[ -n "$question" ] || { echo "no question before replacing old.txt"; exit 1; }
sleep 1
import -window "$question" docs/replace_question.png
echo docs/menu_entry.png docs/file_dialog_zh.png docs/replace_question.png
