#!/usr/bin/env bash
# Screenshots of haojian.exe under wine on Xvfb into docs/ (each window's client area: there is
# no window manager to draw frames):
#   docs/windows_window_after_run.png   the main window after an import and a complete run
#   docs/windows_layouts.png            the export's layout box dropped down
#   docs/windows_about.png              the About window
#   docs/windows_statistics.png         the statistics window of that run
#   docs/windows_split_export.png       the split export's dialog
#   docs/windows_sheet_choice.png, docs/windows_column_choice.png  the dialogs of a workbook's
#                                       import that ask for its sheet and its number column
# Usage: tools/windows/window_screenshots.sh [BUILD_DIR]   (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=$(cd "${1:-build-windows}" && pwd)
prefix=$build/wineprefix
source "$root/tests/e2e/lib/xvfb.sh"
source "$root/tests/e2e/lib/tray.sh"
mkdir -p docs

work=$(mktemp -d)
cp "$build/bin/haojian.exe" "$work/"
cp "$root/data/kelvaronset.dat" "$work/"
prefixes=$(awk 'NR % 4001 == 1 { print substr($0, 1, 7) }' "$root/data/kelvaronset.dat")
for i in $(seq 1 40); do
    for p in $prefixes 1740000; do printf '%s%04d\r\n' "$p" "$((i * 37 % 10000))"; done
done >"$work/numbers.txt"
win() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
probe() { tools/windows/wine-run.sh --prefix "$prefix" "$build/bin/haojian_probe.exe" "$@"; }
cleanup() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
start_xvfb 1024x768x24
export HAOJIAN_WINE_DISPLAY=$DISPLAY
tools/windows/wine-run.sh --prefix "$prefix" "$work/haojian.exe" >"$work/out.log" 2>&1 &
APP_PID=$!
wait_until 90 probe controls >/dev/null
probe click 100
probe file "$(win "$work/numbers.txt")" >/dev/null
sleep 2
probe click 101
wait_until 120 test "$(probe status 6)" = $'\t查询处理完毕！'
sleep 2
# The window whose name matches, as it is on the screen.
shot() {
    local id
    id=$(wait_for_window "$1" 20)
    eval "$(xdotool getwindowgeometry --shell "$id")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}
shot 'V1\.1' docs/windows_window_after_run.png
probe drop 204
sleep 1
shot 'V1\.1' docs/windows_layouts.png
probe drop -204
probe click 106
sleep 2
shot '^关于本软件$' docs/windows_about.png
probe box 0 >/dev/null 2>&1 || true
tools/windows/wine-run.sh --prefix "$prefix" "$build/bin/haojian_probe.exe" close-about
sleep 1
probe click 1103
sleep 2
shot '^统计$' docs/windows_statistics.png
probe statistics-close
sleep 1
probe command 1104
sleep 2
shot '^分类导出$' docs/windows_split_export.png
probe box 2 >/dev/null

# A workbook with two visible sheets and two columns of numbers: both dialogs, each taken as
# Enter takes it.
cp "$root/tests/data/tables/openpyxl.xlsx" "$work/"
probe click 100
probe file "$(win "$work/openpyxl.xlsx")" >/dev/null
probe choice >/dev/null
sleep 1
shot '^选择工作表$' docs/windows_sheet_choice.png
probe choice enter >/dev/null
probe choice >/dev/null
sleep 1
shot '^选择号码列$' docs/windows_column_choice.png
probe choice enter >/dev/null
echo docs/windows_window_after_run.png docs/windows_layouts.png docs/windows_about.png \
    docs/windows_statistics.png docs/windows_split_export.png \
    docs/windows_sheet_choice.png docs/windows_column_choice.png
