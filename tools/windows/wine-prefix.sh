#!/usr/bin/env bash
# Creates the wine prefix that the Windows tests run in, once. Parallel test runs
# wait on a lock for the one creation instead of racing, and a prefix counts as
# made only once wine has written its registry (a marker file, last).
# Usage: wine-prefix.sh DIR
set -euo pipefail

prefix=${1:?usage: wine-prefix.sh DIR}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
ready=$prefix/.haojian-complete
[[ -e $ready ]] && exit 0

command -v wine >/dev/null || {
    echo "wine-prefix.sh: wine is not installed (Debian: wine wine64)" >&2
    exit 1
}

export WINEPREFIX=$prefix LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDEBUG=-all
# No Mono or Gecko to ask for; no menu entries written into $HOME.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
unset DISPLAY WAYLAND_DISPLAY

exec 9>"$prefix.lock"
flock 9
[[ -e $ready ]] && exit 0
rm -rf "$prefix"

# Chinese window texts ask for SimSun/宋体, which wine lacks: map them to an
# installed CJK face. regedit reads a .reg file as UTF-16 when it has a BOM.
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
    printf '\xef\xbb\xbf'
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in SimSun 宋体 NSimSun 新宋体; do
        printf '"%s"="AR PL UMing CN"\r\n' "$face"
    done
} | iconv -f UTF-8 -t UTF-16LE >"$reg"

log=$prefix.log
# The wine processes, and the wineserver they start, must not inherit the lock.
# Stopping the server writes the registry out; waiting for it (-w) takes 5 s more.
if ! (
    exec 9>&-
    wineboot -i
    wine regedit /S "$reg"
    wineserver -k
) >"$log" 2>&1; then
    echo "wine-prefix.sh: creating $prefix failed:" >&2
    cat "$log" >&2
    exit 1
fi
touch "$ready"
