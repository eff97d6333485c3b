#!/usr/bin/env bash
# Started where there is no graphical desktop (over ssh, in a script), the window program says
# that it needs one and points to haojian-cli, exit 1, where Qt alone would abort; --help and
# --version answer anywhere.
set -euo pipefail
program=$1/haojian
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Runs the program without any display; its exit code, standard output and error are kept.
bare() {
    local code=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$work/out" 2>"$work/err" || code=$?
    echo "$code"
}
says_no_desktop() {
    grep -q 'graphical desktop' "$work/err" && grep -q 'haojian-cli' "$work/err"
}

code=$(bare "$program")
[ "$code" = 1 ] || fail "no display: exit $code, not 1"
says_no_desktop || fail "no display: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "no display: wrote to standard output"

# A display that is named but cannot be reached, and a platform forced without one.
code=$(bare env DISPLAY=:187 "$program")
[ "$code" = 1 ] || fail "unreachable display: exit $code, not 1"
says_no_desktop || fail "unreachable display: $(cat "$work/err")"
code=$(bare env QT_QPA_PLATFORM=xcb "$program" "$work/list.txt")
[ "$code" = 1 ] || fail "xcb without a display: exit $code, not 1"
says_no_desktop || fail "xcb without a display: $(cat "$work/err")"

code=$(bare "$program" --version)
[ "$code" = 0 ] || fail "--version: exit $code"
grep -qx 'haojian [0-9][0-9.]*' "$work/out" || fail "--version printed: $(cat "$work/out")"
code=$(bare "$program" --help)
[ "$code" = 0 ] || fail "--help: exit $code"
grep -q '^Usage: haojian \[FILE\]' "$work/out" && grep -q 'haojian-cli' "$work/out" ||
    fail "--help printed: $(cat "$work/out")"
code=0
env -u DISPLAY "$program" --version >/dev/full 2>/dev/null || code=$?
[ "$code" = 1 ] || fail "--version to a full standard output: exit $code, not 1"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "no display: said and exit 1; --help and --version answer without one"
