# What the Win32 window's tests under wine share, sourced after `set -euo pipefail` with the
# script's arguments BIN_DIR WINE_PREFIX: bin, prefix and root; Xvfb's and the tray's helpers; a
# work folder holding haojian.exe, removed with the program at the end; win (a path as wine
# names it), probe (the test probe in the prefix) and fail.
# shellcheck shell=bash
bin=$(cd "$1" && pwd)
prefix=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
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
win() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
probe() { "$root/tools/windows/wine-run.sh" --prefix "$prefix" "$bin/haojian_probe.exe" "$@"; }
fail() {
    echo "FAIL: $*"
    exit 1
}
