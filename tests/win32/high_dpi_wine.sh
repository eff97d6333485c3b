#!/usr/bin/env bash
# haojian.exe under wine on Xvfb at 96 DPI and at 150 % (LogPixels 144): at 150 % the main
# window's client area, its controls and the About window are 1.5 times their 96-DPI figures,
# and a run fills the list. With a third argument, the main window after that run at 150 % is
# saved there as a PNG.
# Usage: high_dpi_wine.sh BIN_DIR WINE_PREFIX [SCREENSHOT]
# The prefix given is not used: the test makes one of its own, whose DPI it sets.
set -euo pipefail
screenshot=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/tests/e2e/lib/xvfb.sh"
source "$root/tests/e2e/lib/tray.sh"
source "$here/lib/own_prefix.sh"

start_own_prefix_test "$1" 1600x1200x24
# 138 0010 -> 江苏 南京 移动, 133 0000 -> 重庆 重庆 联通, 189 0000 -> 北京 北京 电信.
printf '138001005011\r\n133000013013\r\n189000001002\r\n' >"$work/kelvaronset.dat"
printf '13800101234\r\n1330000\r\n18900009876\r\n17400001234\r\n' >"$work/numbers.txt"

# The controls measured, as "id x y width height" relative to the main window's client area;
# the client area itself as id 0, and About's client area and home-page link as 9000 and 9001.
measure() {
    local cx cy w h x y id
    read -r cx cy w h < <(probe rect TForm1) || fail "no main window"
    echo "0 0 0 $w $h"
    for id in 100 107 201 204 211 212 300 400 401 500; do
        read -r x y w h < <(probe rect TForm1 "$id") || fail "no control $id"
        echo "$id $((x - cx)) $((y - cy)) $w $h"
    done
    probe click 106
    wait_for_window '关于本软件' 20 >/dev/null || fail "About did not open"
    read -r cx cy w h < <(probe rect TForm2) || fail "no About window"
    echo "9000 0 0 $w $h"
    read -r x y w h < <(probe rect TForm2 1) || fail "no link in About"
    echo "9001 $((x - cx)) $((y - cy)) $w $h"
    probe close-about
    wait_for_no_window '关于本软件' 10 || fail "About did not close"
}

start_at() {
    wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    wine_run "$work/haojian.exe" >"$work/out.log" 2>&1 &
    APP_PID=$!
    wait_for_window 'V1\.1' 60 >/dev/null || fail "no main window mapped at $1 DPI"
}

start_at 96
measure >"$work/96.txt"
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=
# A fresh server: the next program reads the DPI anew.
stop_wine

start_at 144
measure >"$work/144.txt"
echo "at 96 and at 144 DPI (id x y width height):"
paste -d '\t' "$work/96.txt" "$work/144.txt"
# Each figure within a pixel of 1.5 times its 96-DPI value. Not compared: the heights the
# system gives combo boxes from their font, and the link's width, which follows its text.
awk -v other="$work/144.txt" '
    { getline line < other; split(line, b, " ")
      for (i = 2; i <= 5; i++) {
          if (i == 5 && ($1 == 201 || $1 == 204)) continue
          if (i == 4 && $1 == 9001) continue
          want = $i * 1.5
          if (b[i] < want - 1 || b[i] > want + 1) {
              printf "control %s, figure %d: %s at 144 DPI, %s at 96\n", $1, i - 1, b[i], $i
              bad = 1
          }
      } }
    END { exit bad }' "$work/96.txt" || fail "the layout did not scale by 1.5"
echo "the layout scales by 1.5 at 144 DPI: ok"

# A run at 150 %: the list fills as at 96 DPI.
probe click 100
probe file "$(win "$work/numbers.txt")" | grep -q 导入手机号码列表文件 || fail "no import dialog"
wait_until 20 panel_is 1 4 || fail "import shows '$(probe status 1)' numbers"
probe click 101
wait_until 60 panel_is 6 $'\t查询处理完毕！' || fail "query status '$(probe status 6)'"
[ "$(probe rows)" = 4 ] || fail "the list holds $(probe rows) rows"
if [ -n "$screenshot" ]; then
    sleep 1
    read -r x y w h < <(probe rect TForm1)
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$screenshot"
    echo "saved $screenshot"
fi
echo "150 % scaling under wine: ok"
