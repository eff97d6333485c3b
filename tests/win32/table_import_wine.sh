#!/usr/bin/env bash
# haojian.exe under wine on Xvfb imports workbooks made by openpyxl and LibreOffice through the
# tool bar: the sheet and column dialogs are answered as a user would (a row taken, Enter), the
# status bar names the column taken, and the query's rows are the cleaned numbers.
# Usage: table_import_wine.sh BIN_DIR WINE_PREFIX
set -euo pipefail
source "$(dirname "$0")/lib/window_test.sh"
# 1380013 -> 江苏 南京 移动.
printf '138001305011\r\n' >"$work/kelvaronset.dat"
cp "$root/tests/data/tables/openpyxl.xlsx" "$root/tests/data/tables/libreoffice.xlsx" "$work/"
panel_is() { [ "$(probe status "$1")" = "$2" ]; }

start_xvfb
export HAOJIAN_WINE_DISPLAY=$DISPLAY
"$root/tools/windows/wine-run.sh" --prefix "$prefix" "$work/haojian.exe" >"$work/out.log" 2>&1 &
APP_PID=$!
wait_for_window 'V1\.1' 60 >/dev/null || { cat "$work/out.log"; fail "no main window mapped"; }

# openpyxl's workbook: its hidden sheet is not offered; 客户 is taken by its row.
probe click 100
probe file "$(win "$work/openpyxl.xlsx")" | grep -q 导入手机号码列表文件 || fail "no import dialog"
sheets=$(probe choice 0) || fail "no sheet dialog"
grep -qx $'title\t选择工作表' <<<"$sheets" || fail "sheet dialog: $sheets"
[ "$(sed -n '3,4p' <<<"$sheets")" = $'客户\n第三' ] || fail "sheets offered: $sheets"
grep -qx $'selected\t0' <<<"$sheets" || fail "sheet preselected: $sheets"
# Columns B and C hold numbers: Enter takes B, where most are.
columns=$(probe choice enter) || fail "no column dialog"
grep -qx $'title\t选择号码列' <<<"$columns" || fail "column dialog: $columns"
grep -q $'^B\t手机\t13800138000、13912345678、15000000000\t6/7$' <<<"$columns" ||
    fail "column B: $columns"
grep -qx $'selected\t1' <<<"$columns" || fail "column preselected: $columns"
wait_until 30 panel_is 1 6 || fail "import shows '$(probe status 1)' numbers"
wait_until 10 panel_is 6 $'\t导入查询数据！号码列: B (手机)，无号码 0 条' ||
    fail "status '$(probe status 6)'"
probe click 101
wait_until 60 panel_is 6 $'\t查询处理完毕！' || fail "query status '$(probe status 6)'"
probe command 1102
probe command 1101
copied_rows() { [ "$(probe clipboard | wc -l)" = 6 ]; }
wait_until 20 copied_rows || fail "copied: $(probe clipboard)"
probe clipboard | head -n 1 | grep -qx $'13800138000\t江苏\t南京\t移动' ||
    fail "first row: $(probe clipboard | head -n 1)"
echo "openpyxl workbook, sheet and column through the dialogs: ok"

# LibreOffice's workbook: column C taken by its row; its untidy numbers are cleaned.
probe click 100
probe file "$(win "$work/libreoffice.xlsx")" >/dev/null
probe choice 2 >/dev/null || fail "no column dialog"
wait_until 30 panel_is 6 $'\t导入查询数据！号码列: C (其他号码)，无号码 1 条' ||
    fail "status '$(probe status 6)'"
probe click 101
wait_until 60 panel_is 6 $'\t查询处理完毕！' || fail "query status '$(probe status 6)'"
probe command 1102
probe command 1101
copied_five() { [ "$(probe clipboard | wc -l)" = 5 ]; }
wait_until 20 copied_five || fail "copied: $(probe clipboard)"
[ "$(probe clipboard | cut -f1 | tr '\n' ' ')" = \
    '13800138000 13912345678 15000000000 18612345678 无 ' ] ||
    fail "numbers: $(probe clipboard | cut -f1)"
# Escape in the column dialog imports nothing: the list stays.
probe click 100
probe file "$(win "$work/libreoffice.xlsx")" >/dev/null
probe choice escape >/dev/null || fail "no column dialog"
sleep 1
[ "$(probe status 1)" = 5 ] || fail "a cancelled import changed the list: $(probe status 1)"
echo "LibreOffice workbook, column C, and a cancelled column dialog: ok"

probe click 107
probe box 6 >/dev/null
wait_until 20 process_ended "$APP_PID" || fail "Yes left the program running"
APP_PID=
