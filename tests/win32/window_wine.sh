#!/usr/bin/env bash
# haojian.exe under wine on Xvfb: the window maps with its caption, its controls carry their
# texts, and an import, a query and an export pressed through the tool bar and answered in the
# file dialogs write the export file the Linux program writes for the same list.
# Usage: window_wine.sh BIN_DIR WINE_PREFIX
set -euo pipefail
bin=$(cd "$1" && pwd)
prefix=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/tests/e2e/lib/xvfb.sh"
source "$root/tests/e2e/lib/tray.sh"

work=$(mktemp -d)
cleanup() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
cp "$bin/haojian.exe" "$work/"
# 138 0010 -> 江苏 南京 移动, 133 0000 -> 重庆 重庆 联通, 189 0000 -> 北京 北京 电信.
printf '138001005011\r\n133000013013\r\n189000001002\r\n' >"$work/kelvaronset.dat"
printf '13800101234\r\n1330000\r\n18900009876\r\n17400001234\r\n' >"$work/numbers.txt"
win() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
probe() { "$root/tools/windows/wine-run.sh" --prefix "$prefix" "$bin/haojian_probe.exe" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }

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
[ "$(probe status 5)" = 3 ] || fail "database panel shows '$(probe status 5)'"

probe click 100
probe file "$(win "$work/numbers.txt")" | grep -q 导入手机号码列表文件 || fail "no import dialog"
wait_until 20 test "$(probe status 1)" = 4 || fail "import shows '$(probe status 1)' numbers"

probe click 101
done_text=$'\t查询处理完毕！'
wait_until 60 test "$(probe status 6)" = "$done_text" || fail "query status '$(probe status 6)'"
[ "$(probe rows)" = 4 ] || fail "the list holds $(probe rows) rows"
# The next tick of the timer fills the province box.
province_filled() { probe items 201 | grep -q 江苏; }
wait_until 10 province_filled || fail "province box: $(probe items 201)"

probe click 103
probe file "$(win "$work/out.txt")" | grep -q 搜索结果保存为 || fail "no export dialog"
wait_until 20 test -s "$work/out.txt" || fail "no export file"
expected=$(printf '138001012**\r\n1330000**\r\n189000098**\r\n174000012**\r\n' | od -c)
[ "$(od -c "$work/out.txt")" = "$expected" ] || fail "export file: $(od -c "$work/out.txt")"
wait_until 10 test "$(probe status 6)" = $'\t导出符合数据4条' || fail "export status '$(probe status 6)'"

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
