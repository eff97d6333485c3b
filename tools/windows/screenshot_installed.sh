#!/usr/bin/env bash
# Takes docs/windows_installed.png: the program as the installer leaves it, in a fresh wine
# prefix on a private X server. Wine's own desktop (with its task bar) stands in for Windows';
# the program is started from its installed folder and the Start menu is opened at Programs,
# where 瓴岚号鉴 stands.
# Usage: tools/windows/screenshot_installed.sh [BUILD_DIR]   (default build-windows; the
# downloads are made first by tools/package-windows.sh)
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/e2e/lib/xvfb.sh
build=${1:-build-windows}
setup=$(tools/package-windows.sh "$build" | sed -n 2p)

work=$(mktemp -d)
prefix=$work/prefix
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
run() { tools/windows/wine-run.sh --prefix "$prefix" "$@"; }

tools/windows/wine-prefix.sh "$prefix"
# Wine draws the caption buttons of the windows on its desktop with Marlett, from fonts-wine's
# folder, which this wine does not search; its other fonts stay out, as they would take the
# captions from the CJK face that draws them.
cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
run "$setup" /S /AllUsers /Desktop
start_xvfb 1024x768x24
trap cleanup EXIT
# The desktop named "shell" is the one wine gives a task bar and a Start menu.
HAOJIAN_WINE_DISPLAY=$DISPLAY run explorer /desktop=shell,1024x768 \
    'C:\Program Files\瓴岚号鉴\haojian.exe' >"$work/wine.log" 2>&1 &
# Windows inside wine's desktop are no X windows of their own: wait for the desktop, then give
# the program time to draw.
wait_for_window 'Wine desktop' 60 >/dev/null || { cat "$work/wine.log"; exit 1; }
sleep 15
# Start (bottom left), then Programs.
xdotool mousemove 20 758 click 1
sleep 1
xdotool mousemove 40 700
sleep 2
mkdir -p docs
import -window root -strip -define png:exclude-chunks=date,time docs/windows_installed.png
echo docs/windows_installed.png
