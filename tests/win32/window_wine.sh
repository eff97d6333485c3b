#!/usr/bin/env bash
# haojian.exe under wine on Xvfb: the window maps with its caption, its controls carry their
# texts, and an import, a query and an export pressed through the tool bar and answered in the
# file dialogs write the export file the Linux program writes for the same list. A query of a
# long list stopped midway and resumed exports what haojian-cli.exe exports for it; maximised
# and restored, the main and statistics windows repaint their children; merges
# through the dialogs, one of them onto a source, write what haojian-cli.exe writes.
# Usage: window_wine.sh BIN_DIR WINE_PREFIX
set -euo pipefail
source "$(dirname "$0")/lib/window_test.sh"
# 138 0010 -> 江苏 南京 移动, 133 0000 -> 重庆 重庆 联通, 189 0000 -> 北京 北京 电信.
printf '138001005011\r\n133000013013\r\n189000001002\r\n' >"$work/kelvaronset.dat"
printf '13800101234\r\n1330000\r\n18900009876\r\n17400001234\r\n' >"$work/numbers.txt"
# Whether a status-bar panel shows the text (asked anew on each call, so that wait_until waits).
panel_is() { [ "$(probe status "$1")" = "$2" ]; }

start_xvfb
export HAOJIAN_WINE_DISPLAY=$DISPLAY
"$root/tools/windows/wine-run.sh" --prefix "$prefix" "$work/haojian.exe" >"$work/out.log" 2>&1 &
APP_PID=$!

id=$(wait_for_window 'V1\.1' 60) || { cat "$work/out.log"; fail "no main window mapped"; }
name=$(window_name "$id")
[ "$name" = '【瓴岚号鉴】 V1.1' ] || fail "caption is '$name'"
echo "main window: $name"

controls=$(probe controls)
for text in 导入 查询 终止 导出 合并 主页 关于 退出 导出选项： 导出字段： 任意省份 任意城市 任意卡类 手机号码; do
    grep -q "	$text	" <<<"$controls" || fail "no control shows $text"$'\n'"$controls"
done
grep -q '^300	SysListView32	' <<<"$controls" || fail "no result list"
# The layout box: the six layouts, then the whole rows of an imported table.
[ "$(probe items 204 | sed -n 7p)" = 原表+归属地 ] || fail "layouts: $(probe items 204)"
[ "$(probe status 5)" = 3 ] || fail "database panel shows '$(probe status 5)'"

probe click 100
probe file "$(win "$work/numbers.txt")" | grep -q 导入手机号码列表文件 || fail "no import dialog"
wait_until 20 panel_is 1 4 || fail "import shows '$(probe status 1)' numbers"

probe click 101
done_text=$'\t查询处理完毕！'
wait_until 60 panel_is 6 "$done_text" || fail "query status '$(probe status 6)'"
[ "$(probe rows)" = 4 ] || fail "the list holds $(probe rows) rows"
# The next tick of the timer fills the province box.
province_filled() { probe items 201 | grep -q 江苏; }
wait_until 10 province_filled || fail "province box: $(probe items 201)"

# The statistics through the list's menu: the total, each province once (25.00%), and a click
# on the name's header sorts by name, a second click turns the order round.
probe command 1103
stats=$(probe statistics)
grep -qx $'total\t共计：4 条' <<<"$stats" || fail "statistics: $stats"
[ "$(grep -c $'\t1\t25.00%$' <<<"$stats")" = 4 ] || fail "statistics rows: $stats"
probe statistics-sort 0
up=$(probe statistics | sed 1d | cut -f1)
probe statistics-sort 0
down=$(probe statistics | sed 1d | cut -f1)
[ "$down" = "$(tac <<<"$up")" ] && [ "$up" != "$down" ] || fail "sorting by name: $up / $down"
# Maximised and restored, every child shows what it paints afresh: none keeps stale paint
# (rows over rows, the size grip mid-bar, a blank total or button).
repainted=$(probe repainted TStatisticsWindow 4 5 6)
! grep -qv ' 0$' <<<"$repainted" || fail "stale paint in the statistics window: $repainted"
# Saved as a workbook: a sheet per table and the provinces' chart.
probe statistics-save-workbook
probe file "$(win "$work/stats.xlsx")" | grep -q 统计结果保存为 || fail "no statistics dialog"
wait_until 10 test -s "$work/stats.xlsx" || fail "no statistics workbook"
/usr/bin/python3 - "$work/stats.xlsx" <<'PY' || fail "statistics workbook"
import sys, zipfile, openpyxl
assert "xl/charts/chart1.xml" in zipfile.ZipFile(sys.argv[1]).namelist()
book = openpyxl.load_workbook(sys.argv[1])
assert book.sheetnames == ["省份", "城市", "卡类"], book.sheetnames
assert [c.value for c in book["省份"][1]] == ["省份", "数量", "占比"]
PY
probe statistics-close
echo "statistics: ok"
repainted=$(probe repainted TForm1 300 400 401 500)
! grep -qv ' 0$' <<<"$repainted" || fail "stale paint in the main window: $repainted"
echo "repainted with their parents: ok"

# Copying: every row to the clipboard, as tab-separated lines, built off the UI thread.
probe command 1102
probe command 1101
copied_rows() { [ "$(probe clipboard | wc -l)" = 4 ]; }
wait_until 20 copied_rows || fail "copied: $(probe clipboard)"
probe clipboard | head -n 1 | grep -qx $'13800101234\t江苏\t南京\t移动' ||
    fail "first copied row: $(probe clipboard | head -n 1)"
echo "copying rows: ok"

probe click 103
probe file "$(win "$work/out.txt")" | grep -q 搜索结果保存为 || fail "no export dialog"
wait_until 20 test -s "$work/out.txt" || fail "no export file"
expected=$(printf '138001012**\r\n1330000**\r\n189000098**\r\n174000012**\r\n' | od -c)
[ "$(od -c "$work/out.txt")" = "$expected" ] || fail "export file: $(od -c "$work/out.txt")"
wait_until 10 panel_is 6 $'\t导出符合数据4条' || fail "export status '$(probe status 6)'"
# The same rows as a workbook, for its name says so: the masked numbers under a header.
probe click 103
probe file "$(win "$work/out.xlsx")" >/dev/null
wait_until 20 test -s "$work/out.xlsx" || fail "no exported workbook"
/usr/bin/python3 - "$work/out.xlsx" <<'PY' || fail "exported workbook"
import sys, openpyxl
rows = [[c.value for c in row] for row in openpyxl.load_workbook(sys.argv[1]).active.rows]
assert rows == [["手机号码"], ["138001012**"], ["1330000**"], ["189000098**"], ["174000012**"]], rows
PY
echo "export as a workbook: ok"

# A long list, stopped as soon as rows show and resumed: every number once, in list order.
count=2000000
awk -v n=$count 'BEGIN { for (i = 0; i < n; i++)
                         printf "1%d%09d\r\n", 3 + i % 7, (i * 7919) % 1000000000 }' >"$work/long.txt"
probe click 100
probe file "$(win "$work/long.txt")" >/dev/null
wait_until 60 panel_is 1 $count || fail "import shows '$(probe status 1)' numbers"
probe query-stop >/dev/null || fail "no row shown after Query"
wait_until 20 panel_is 6 $'\t查询任务中止...' || fail "stop status '$(probe status 6)'"
# Stopped: the rows stay as they are, Query may go on, Stop may not be pressed again.
rows=$(probe rows)
sleep 1
[ "$(probe rows)" = "$rows" ] || fail "rows went on after Stop: $rows, then $(probe rows)"
[ "$rows" -gt 0 ] && [ "$rows" -lt $count ] || fail "stopped with $rows of $count rows"
controls=$(probe controls)
grep -q '^101	TSpeedButton	查询	.*	enabled$' <<<"$controls" || fail "Query disabled after Stop"
grep -q '^102	TSpeedButton	终止	.*	disabled$' <<<"$controls" || fail "Stop enabled after Stop"
echo "stopped with $rows of $count rows"
# Resumed: the moment the run says it is complete, the list holds every row.
read -r _ rows < <(probe time-query) || fail "resumed status '$(probe status 6)'"
[ "$rows" = $count ] || fail "resumed, the list held $rows rows when the run was complete"
probe click 103
probe file "$(win "$work/long-out.txt")" >/dev/null
wait_until 60 panel_is 6 $'\t导出符合数据'$count'条' ||
    fail "export status '$(probe status 6)'"
cli() { (cd "$work" && "$root/tools/windows/wine-run.sh" --prefix "$prefix" "$bin/haojian-cli.exe" "$@"); }
cli export -q --db kelvaronset.dat -o long-cli.txt long.txt >/dev/null
cmp "$work/long-out.txt" "$work/long-cli.txt" || fail "the resumed run exports other lines"

# Merges through the dialogs: two files named in their folder, then onto one of them (the
# overwrite prompt answered Yes).
printf '5\r\n3\r\nb\r\n' >"$work/a.txt"
printf '4\r\n3\r\nB\r\na\r\n\xC9\xCF\xBA\xA3\r\n\xB1\xB1\xBE\xA9\r\n' >"$work/b.txt"  # 上海, 北京
cli merge -o cli-merged.txt a.txt b.txt >/dev/null
merge_through_dialogs() {  # output file, and the button that answers the overwrite prompt
    probe click 104
    probe folder "$(win "$work")\\" | grep -q 选择待合并的数据文件 || fail "no merge dialog"
    probe file '"a.txt" "b.txt"' >/dev/null
    probe file "$(win "$work/$1")" | grep -q 合并后的数据文件保存为 || fail "no merge output dialog"
    if [ -n "${2-}" ]; then probe box "$2" >/dev/null || fail "no overwrite prompt"; fi
    wait_until 30 cmp -s "$work/$1" "$work/cli-merged.txt" || fail "$1: $(od -c "$work/$1")"
    wait_until 10 panel_is 6 $'\t文件合并整理完毕！共计：7' ||
        fail "merge status '$(probe status 6)'"
    ! compgen -G "$work/.haojian-*" >/dev/null || fail "left $(ls -A "$work")"
}
merge_through_dialogs merged.txt
merge_through_dialogs a.txt 6
echo "stop and resume, merges through the dialogs: ok"

# Exit asks first; No keeps the program, Yes ends it.
probe click 107
box=$(probe box 7)
grep -q '^caption	确认$' <<<"$box" || fail "confirmation box: $box"
grep -q '是\[&Y\]' <<<"$box" || fail "no Yes button: $box"
sleep 1
kill -0 "$APP_PID" || fail "No ended the program"
probe click 107
probe box 6 >/dev/null
wait_until 20 process_ended "$APP_PID" || fail "Yes left the program running"
APP_PID=
echo "import, query, export and exit under wine: ok"

# A list named on the command line (dropped on the icon, "Open with") is imported at start,
# a relative name from the working folder.
(cd "$work" && "$root/tools/windows/wine-run.sh" --prefix "$prefix" "$work/haojian.exe" \
    numbers.txt >"$work/out-start.log" 2>&1) &
APP_PID=$!
wait_for_window 'V1\.1' 60 >/dev/null || { cat "$work/out-start.log"; fail "no window with a file"; }
wait_until 20 panel_is 1 4 || fail "the named list shows '$(probe status 1)' numbers"
probe click 107
probe box 6 >/dev/null
wait_until 20 process_ended "$APP_PID" || fail "Yes left the program running"
APP_PID=
echo "a list named at start: ok"
