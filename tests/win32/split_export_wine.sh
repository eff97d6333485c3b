#!/usr/bin/env bash
# 分类导出 in haojian.exe under wine on Xvfb: a list imported and queried, then split by province
# into a folder picked in the folder dialog (one text file per province, their lines in list
# order), again into the same folder (asked before the files are replaced), and by city into
# one workbook whose sheets are read back with openpyxl.
# Usage: split_export_wine.sh BIN_DIR WINE_PREFIX
set -euo pipefail
source "$(dirname "$0")/lib/window_test.sh"
# 138 0010 -> 江苏 南京 移动, 133 0000 -> 重庆 重庆 联通, 189 0000 -> 北京 北京 电信.
printf '138001005011\r\n133000013013\r\n189000001002\r\n' >"$work/kelvaronset.dat"
printf '13800101234\r\n13300001111\r\n18900009876\r\n17400001234\r\n13800105678\r\n' \
    >"$work/numbers.txt"
mkdir "$work/out"
panel_is() { [ "$(probe status "$1")" = "$2" ]; }
split_dialog() {  # the radio buttons to click, then OK
    local id dialog
    probe command 1104
    dialog=$(probe box 0) || fail "no split export dialog"
    grep -q '^caption	分类导出$' <<<"$dialog" || fail "split dialog: $dialog"
    for text in 省份 城市 卡类 '一个Excel工作簿，每类一张工作表' 确定 取消; do
        grep -q "	$text\$" <<<"$dialog" || fail "the split dialog shows no $text: $dialog"
    done
    for id in "$@"; do probe dialog-click "$id" || fail "no control $id in the split dialog"; done
    probe box 1 >/dev/null
}

start_xvfb
export HAOJIAN_WINE_DISPLAY=$DISPLAY
(cd "$work" && "$root/tools/windows/wine-run.sh" --prefix "$prefix" "$work/haojian.exe" \
    numbers.txt >"$work/out.log" 2>&1) &
APP_PID=$!
wait_for_window 'V1\.1' 60 >/dev/null || { cat "$work/out.log"; fail "no main window mapped"; }
wait_until 20 panel_is 1 5 || fail "import shows '$(probe status 1)' numbers"
probe click 101
wait_until 60 panel_is 6 $'\t查询处理完毕！' || fail "query status '$(probe status 6)'"

# By province (the dialog's first choices) into a folder of text files.
split_dialog
# The folder typed into the folder dialog's name box is the one chosen.
probe file "$(win "$work/out")" | grep -q 选择分类导出的文件夹 || fail "no folder dialog"
done_text=$'\t分类导出完毕：4个文件，共5条'
wait_until 30 panel_is 6 "$done_text" || fail "split status '$(probe status 6)'"
[ "$(od -c "$work/out/江苏.txt")" = "$(printf '138001012**\r\n138001056**\r\n' | od -c)" ] ||
    fail "江苏.txt: $(od -c "$work/out/江苏.txt")"
[ "$(cat "$work/out/未知.txt")" = "$(printf '174000012**\r')" ] || fail "未知.txt: $(od -c "$work/out/未知.txt")"
[ "$(find "$work/out" -type f | wc -l)" = 4 ] || fail "files: $(ls -A "$work/out")"
echo "split into a folder of text files: ok"

# Again: asked before the four files are replaced; Yes.
printf 'old\r\n' >"$work/out/北京.txt"
split_dialog
probe file "$(win "$work/out")" >/dev/null
question=$(probe box 6) || fail "no question before replacing"
grep -q '文件夹中已有下列同名文件' <<<"$question" || fail "question: $question"
wait_until 30 panel_is 6 "$done_text" || fail "split status '$(probe status 6)'"
[ "$(cat "$work/out/北京.txt")" = "$(printf '189000098**\r')" ] || fail "北京.txt: $(od -c "$work/out/北京.txt")"
echo "asked before replacing: ok"

# By city into one workbook, a sheet per city.
split_dialog 1202 1214
probe file "$(win "$work/split.xlsx")" | grep -q 分类导出保存为 || fail "no workbook dialog"
wait_until 30 panel_is 6 $'\t分类导出完毕：一个工作簿，4类，共5条' ||
    fail "workbook status '$(probe status 6)'"
sheets=$(/usr/bin/python3 "$root/tests/e2e/lib/workbook_sheets.py" "$work/split.xlsx")
expected=$'南京:手机号码,138001012**,138001056**\n重庆:手机号码,133000011**\n北京:手机号码,189000098**\n未知:手机号码,174000012**'
[ "$sheets" = "$expected" ] || fail "sheets: $sheets"
echo "split into one workbook: ok"

probe click 107
probe box 6 >/dev/null
wait_until 20 process_ended "$APP_PID" || fail "Yes left the program running"
APP_PID=
