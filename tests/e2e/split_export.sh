#!/usr/bin/env bash
# 分类导出 in the Qt window on a real X server, driven with keys and clicks: a list imported and
# queried, then the result list's menu splits it by province into a folder typed into the folder
# dialog (one text file per province, their lines in list order), again into the folder,
# answering the question before the files are replaced, and by city into one workbook (its
# sheets read back with openpyxl).
set -euo pipefail
bin=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/xvfb.sh"
source "$here/lib/tray.sh"

work=$(mktemp -d)
# 138 0010 -> 江苏 南京 移动, 133 0000 -> 重庆 重庆 联通, 189 0000 -> 北京 北京 电信.
printf '138001005011\r\n133000013013\r\n189000001002\r\n' >"$work/database.dat"
dir=$(program_directory "$bin" "$work/database.dat")
trap end_program_test EXIT
start_xvfb
printf '13800101234\r\n13300001111\r\n18900009876\r\n17400001234\r\n13800105678\r\n' \
    >"$work/numbers.txt"
mkdir "$work/out"

"$dir/haojian" "$work/numbers.txt" >"$work/out.log" 2>&1 &
APP_PID=$!
main=$(wait_for_window 'V1\.1' 30) || fail "no main window mapped"
sleep 1
# Query; the run is short.
xdotool mousemove --window "$main" 90 14 click 1
sleep 3

# The result list's menu, the item above its last (the clean-up check item); the dialog's
# choices by keys, then Enter for OK.
split_dialog() {  # keys to press in the dialog
    local dialog
    xdotool mousemove --window "$main" 200 150 click 3
    sleep 1
    xdotool key Up Up Return
    dialog=$(wait_for_window '^分类导出$' 10) || fail "no split export dialog"
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    sleep 0.5
    if [ $# -gt 0 ]; then xdotool key --delay 100 "$@"; fi
    xdotool key Return
    wait_for_no_window '^分类导出$' 10 || fail "the split dialog stayed"
}
type_into() {  # window name pattern, text
    local dialog
    dialog=$(wait_for_window "$1" 20) || fail "no dialog $1"
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 5 "$2"
    xdotool key Return
    wait_for_no_window "$1" 10 || fail "the dialog $1 stayed"
}
is_file() { [ -f "$1" ]; }

split_dialog
type_into '^选择分类导出的文件夹$' "$work/out"
wait_until 20 is_file "$work/out/未知.txt" || fail "no files: $(ls -A "$work/out")"
[ "$(od -c "$work/out/江苏.txt")" = "$(printf '138001012**\r\n138001056**\r\n' | od -c)" ] ||
    fail "江苏.txt: $(od -c "$work/out/江苏.txt")"
[ "$(cat "$work/out/北京.txt")" = "$(printf '189000098**\r')" ] || fail "北京.txt: $(od -c "$work/out/北京.txt")"
[ "$(find "$work/out" -type f | wc -l)" = 4 ] || fail "files: $(ls -A "$work/out")"
echo "split into a folder of text files: ok"

# Into the folder again (the dialog proposes the last choice): asked first; Yes.
printf 'old\r\n' >"$work/out/北京.txt"
split_dialog
type_into '^选择分类导出的文件夹$' "$work/out"
question=$(wait_for_window '^确认$' 20) || fail "no question before replacing"
xdotool windowfocus --sync "$question" 2>/dev/null || true
sleep 0.5
xdotool key Return
replaced() { [ "$(cat "$work/out/北京.txt")" = "$(printf '189000098**\r')" ]; }
wait_until 20 replaced || fail "北京.txt: $(od -c "$work/out/北京.txt")"
echo "asked before replacing: ok"

# By city (Right in the first group), into one workbook (Tab to the second group, its last).
split_dialog Right Tab Down Down Down
type_into '^分类导出保存为$' "$work/split.xlsx"
wait_until 20 is_file "$work/split.xlsx" || fail "no workbook"
sheets=$(/usr/bin/python3 "$here/lib/workbook_sheets.py" "$work/split.xlsx")
expected=$'南京:手机号码,138001012**,138001056**\n重庆:手机号码,133000011**\n北京:手机号码,189000098**\n未知:手机号码,174000012**'
[ "$sheets" = "$expected" ] || fail "sheets: $sheets"
echo "split into one workbook: ok"
