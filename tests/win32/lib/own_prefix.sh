# shellcheck shell=bash disable=SC2154  # root, prefix and bin: set by the sourcing script
# Shell helpers for the Windows window's end-to-end tests and benchmarks that run haojian.exe
# in a wine prefix of their own (one whose registry they change) on a private Xvfb. Source it
# after tests/e2e/lib/xvfb.sh and tray.sh; it defines functions only.

# Makes $work (a scratch folder holding a copy of BIN_DIR's haojian.exe) and names $prefix in
# it; starts Xvfb (of the given size) for wine's windows. Everything started, the prefix's
# wine server included, is stopped and $work removed when the shell exits.
start_own_prefix_test() {  # BIN_DIR [SCREEN_SIZE]
    bin=$(cd "$1" && pwd)
    work=$(mktemp -d)
    prefix=$work/prefix
    cp "$bin/haojian.exe" "$work/"
    start_xvfb ${2:+"$2"}
    trap end_own_prefix_test EXIT
    export HAOJIAN_WINE_DISPLAY=$DISPLAY
}

end_own_prefix_test() {
    stop_xvfb
    if declare -F stop_tray_host >/dev/null; then stop_tray_host; fi
    stop_wine
    rm -rf "$work"
}

# Stops the prefix's wine server: the next program starts a fresh one.
stop_wine() {
    if [ -d "$prefix" ]; then WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; fi
}

# A Unix path as wine names it (Z:\...).
win() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
wine_run() { "$root/tools/windows/wine-run.sh" --prefix "$prefix" "$@"; }
probe() { wine_run "$bin/haojian_probe.exe" "$@"; }
# Whether a status-bar panel shows the text (asked anew on each call, so that wait_until waits).
panel_is() { [ "$(probe status "$1")" = "$2" ]; }
