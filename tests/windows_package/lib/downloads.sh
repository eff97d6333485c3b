# shellcheck shell=bash disable=SC2154  # version: set by the sourced package.env
# Shell helpers for the checks of the Windows downloads. Source this file with the Windows
# build tree as $1 and the folder of the Linux haojian-cli as $2. It finds the zip and the
# installer (exits 77, skipped, when they were not made), makes a temporary folder $work
# (removed when the shell exits, after the cleanup function, if the script defines one) and
# defines fail, which counts a failed check, and finish, which ends the script. Windows
# programs run in a fresh wine prefix of the script's own, $prefix (made on first use), so
# that what one test installs or starts meets no other test.
build=$(cd "$1" && pwd)
host_bin=$2
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
source "$source_dir/tests/e2e/lib/xvfb.sh"
# shellcheck source=/dev/null
source "$build/packaging/windows/package.env"
zip=$build/haojian-$version-win64.zip
setup=$build/haojian-$version-setup.exe
if [ ! -f "$zip" ] || [ ! -f "$setup" ]; then
    echo "SKIP: $zip and $setup were not made (is haojian.exe built?)"
    exit 77
fi
# The program's name in the Start menu, in Programs and Features and as its folder.
app_name='瓴岚号鉴'

work=$(mktemp -d)
prefix=$work/prefix
on_exit() {
    if declare -F cleanup >/dev/null; then cleanup; fi
    stop_xvfb
    stop_wine
    rm -rf "$work"
}
trap on_exit EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Exits 1 when a check failed; otherwise prints the message.
finish() {
    if [ "$failures" -ne 0 ]; then exit 1; fi
    echo "$1"
}

# Runs a Windows program in the prefix.
wine_in() {
    "$source_dir/tools/windows/wine-run.sh" --prefix "$prefix" "$@"
}

# Ends every program of the prefix and its wine server, and waits until the server has gone.
stop_wine() {
    if [ ! -d "$prefix" ]; then return 0; fi
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$prefix timeout 60 wineserver -w 2>/dev/null || true
}

# Writes $work/list.txt, numbers of every kind a user's list holds (in the database and not,
# too short, with spaces, letters, CR LF ends, an empty line), and $work/expected.txt, what the
# Linux haojian-cli prints for it with the database the downloads ship.
make_lookup_list() {
    if [ ! -x "$host_bin/haojian-cli" ]; then
        echo "FAIL: no Linux haojian-cli in $host_bin to compare with (build the Linux tree first)"
        exit 1
    fi
    awk 'NR % 613 == 1 { printf "%s%04d\r\n", substr($0, 1, 7), NR % 10000 }' \
        "$source_dir/data/kelvaronset.dat" >"$work/list.txt"
    printf '%s\n' 13800138000 '  13900139000 ' 1380013 186abc00000 '' 19999999999 \
        12345678901 +8613800138000 >>"$work/list.txt"
    "$host_bin/haojian-cli" lookup --db "$source_dir/data/kelvaronset.dat" "$work/list.txt" \
        >"$work/expected.txt"
}

# Checks that haojian-cli.exe in the folder $1 finds the database beside it and prints what
# the Linux tool prints for $work/list.txt; it runs from another folder.
check_lookup() {
    local out=$work/lookup.out
    if ! (cd "$work" && wine_in "$1/haojian-cli.exe" lookup list.txt >"$out" 2>"$work/lookup.err"); then
        fail "haojian-cli.exe lookup in $1 failed: $(cat "$work/lookup.err")"
    elif ! cmp -s "$out" "$work/expected.txt"; then
        fail "haojian-cli.exe lookup in $1 differs from the Linux tool: $(cmp "$out" "$work/expected.txt" 2>&1)"
    fi
}

# Starts the program or shortcut $1 (a Unix path) as Explorer does, on a private X server,
# and checks that a window with the program's name in its caption maps.
check_window_opens() {
    # Wine's desktop process draws the windows of every program of its server, on the display
    # of the program that started it; a server still running after a window program started
    # without a display (the installer, even silent) would show no window: start afresh.
    stop_wine
    start_xvfb
    trap on_exit EXIT
    HAOJIAN_WINE_DISPLAY=$DISPLAY wine_in start /unix "$1" >"$work/window.log" 2>&1 ||
        fail "starting $1 failed: $(cat "$work/window.log")"
    if ! wait_for_window "$app_name" 60 >/dev/null; then
        fail "$1 opened no window: $(cat "$work/window.log")"
    fi
    stop_wine
    stop_xvfb
}
