#!/usr/bin/env bash
# The status line of haojian-cli.exe export and merge reaches a console in code page 936 in
# its own characters, line break included (through WriteConsoleW: raw UTF-8 bytes would show
# as 瀵煎嚭... there), and a redirected standard output as UTF-8, as every message.
# The console is wine's own, on a terminal that script(1) gives the run.
# Usage: console_status_wine.sh BIN_DIR WINE_PREFIX
set -euo pipefail
bin=$(cd "$1" && pwd)
prefix=$2
root=$(cd "$(dirname "$0")/../.." && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() {
    echo "FAIL: $*"
    exit 1
}
cp "$bin/haojian-cli.exe" "$bin/kelvaronset.dat" .
printf '13800000000\r\n13900000000\r\n' >list.txt
printf 'b\r\na\r\n' >one.txt

# Runs the command line in a console of code page 936 on a terminal; prints what the terminal
# showed, without the terminal's control sequences.
in_console() {
    local line="chcp 936 >nul & $1"
    script -qec "$(printf '%q ' "$root/tools/windows/wine-run.sh" --prefix "$prefix" cmd /c "$line")" \
        /dev/null </dev/null | tr -d '\r' | sed -e $'s/\e\\[[0-9;?]*[A-Za-z]//g' -e $'s/\e\\][^\a]*\a//g'
}

shown=$(in_console 'haojian-cli.exe export -o out.txt list.txt')
grep -qx '导出符合数据2条' <<<"$shown" || fail "export's status in the console read: $shown"
shown=$(in_console 'haojian-cli.exe merge -o merged.txt one.txt & echo next')
grep -q '^文件合并整理完毕！共计：' <<<"$shown" || fail "merge's status in the console read: $shown"
# The line break was written too: the next text starts a line of its own.
grep -qx 'next' <<<"$shown" || fail "merge's status swallowed its line break: $shown"

"$root/tools/windows/wine-run.sh" --prefix "$prefix" haojian-cli.exe export -o out.txt list.txt \
    >redirected.txt
[ "$(cat redirected.txt)" = '导出符合数据2条' ] ||
    fail "export's redirected status was $(od -c redirected.txt | head -3)"
echo "the status lines read right in a console of code page 936 and redirected"
