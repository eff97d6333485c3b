# shellcheck shell=bash
# Shell helpers for the end-to-end tests and the screenshot script: a private X server and
# the program's windows on it. Source this file; it defines functions only.

# Starts Xvfb on a free display and exports DISPLAY. The server is stopped by stop_xvfb,
# which start_xvfb also arranges to run when the calling shell exits.
# shellcheck disable=SC2120  # the size is optional
start_xvfb() {
    local size=${1:-1024x768x24} number_file n
    number_file=$(mktemp)
    # The server takes the first free display itself and writes its number (-displayfd): a
    # display chosen here could be taken meanwhile by a test started at the same moment, and
    # both would then share the first one's server. -noreset: by default the server resets
    # when its last client leaves, and a client that connects meanwhile (a helper started just
    # after a short-lived xprop or xdotool) is refused.
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 200); do
        n=$(cat "$number_file")
        # Ready once it has written its display and answers a request.
        if [ -n "$n" ] && timeout 5 xprop -display ":$n" -root >/dev/null 2>&1; then
            rm -f "$number_file"
            export DISPLAY=":$n"
            # The tests themselves may run with the offscreen platform chosen.
            export QT_QPA_PLATFORM=xcb
            trap stop_xvfb EXIT
            return 0
        fi
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
        sleep 0.05
    done
    rm -f "$number_file"
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
    echo "Xvfb did not start" >&2
    return 1
}

stop_xvfb() {
    if [ -n "${APP_PID:-}" ]; then kill "$APP_PID" 2>/dev/null || true; wait "$APP_PID" 2>/dev/null || true; fi
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
    APP_PID=
    XVFB_PID=
}

# Prints the id of the first visible window whose name matches the pattern, waiting up to
# the given seconds; fails when none comes.
wait_for_window() {
    local pattern=$1 seconds=${2:-20} id
    for _ in $(seq 1 $((seconds * 10))); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Waits up to the given seconds until no visible window's name matches the pattern.
wait_for_no_window() {
    local pattern=$1 seconds=${2:-10}
    for _ in $(seq 1 $((seconds * 10))); do
        if [ -z "$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null)" ]; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# The window's _NET_WM_NAME, as UTF-8 text.
window_name() {
    xprop -id "$1" -notype _NET_WM_NAME | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p'
}

# The window's WM_CLASS (instance and class), with xprop's octal escapes decoded.
window_class() {
    local raw
    raw=$(xprop -id "$1" -notype WM_CLASS | sed -n 's/^WM_CLASS = //p')
    printf '%b' "$(printf '%s' "$raw" | sed 's/\\\([0-7][0-7][0-7]\)/\\0\1/g')"
}

# Presses Import on the main window and types the list's path into its dialog.
import_list() {  # main window id, list path
    local dialog
    xdotool mousemove --window "$1" 30 14 click 1
    dialog=$(wait_for_window '导入手机号码列表文件' 20) || return 1
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    sleep 0.5
    xdotool type --delay 5 "$2"
    xdotool key Return
    sleep 1
}

# Makes a program directory: a copy of the built program beside a segment database, so that
# the program finds its database wherever the build is. Prints the directory.
program_directory() {
    local bin=$1 database=${2:-} dir
    dir=$(mktemp -d)
    cp "$bin/haojian" "$dir/"
    if [ -n "$database" ]; then cp "$database" "$dir/kelvaronset.dat"; fi
    echo "$dir"
}

# Starts a test on a private X server: a scratch directory $work, and a program directory $dir
# holding the built program (from the directory given) beside a database of one segment.
# Everything the test started is stopped, and both directories removed, when it exits.
start_program_test() {
    work=$(mktemp -d)
    printf '138001005011\r\n' >"$work/database.dat"
    dir=$(program_directory "$(cd "$1" && pwd)" "$work/database.dat")
    start_xvfb
    trap end_program_test EXIT
}

end_program_test() {
    stop_xvfb
    if declare -F stop_tray_host >/dev/null; then stop_tray_host; fi
    if declare -F stop_window_manager >/dev/null; then stop_window_manager; fi
    rm -rf "$work" "$dir"
}

# Fails the test with a message, the program's output (in $work/out.log) and that of the
# helpers started (start_helper). Also called inside $(...): everything goes to stderr, so that
# the message is seen.
fail() {
    local log
    {
        echo "FAIL: $*"
        echo "--- program output"
        cat "$work/out.log" 2>/dev/null || true
        for log in "$work"/helper-*.log; do
            [ -s "$log" ] || continue
            echo "--- $(basename "$log" .log)"
            cat "$log"
        done
    } >&2
    exit 1
}

# Starts a helper X client (a window manager, a tray) in the background and waits up to 20
# seconds until the check succeeds, twice more with a new helper when it has ended without or
# hangs: a client that meets the X server at a bad moment may give up. Its output goes to
# $work/helper-NAME.log. Sets HELPER_PID.
start_helper() {
    local name=$1 check=$2 try
    shift 2
    for try in 1 2 3; do
        "$@" >>"$work/helper-$name.log" 2>&1 &
        HELPER_PID=$!
        for _ in $(seq 1 200); do
            if "$check"; then return 0; fi
            kill -0 "$HELPER_PID" 2>/dev/null || break
            sleep 0.1
        done
        echo "(attempt $try: not ready)" >>"$work/helper-$name.log"
        kill "$HELPER_PID" 2>/dev/null || true
        wait "$HELPER_PID" 2>/dev/null || true
    done
    return 1
}
