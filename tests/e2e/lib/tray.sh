# shellcheck shell=bash
# Shell helpers for the end-to-end tests of the tray icon: a tray host on the private X
# server and the program's windows in it. Source this file; it defines functions only.

# Starts Debian's trayer as the notification area and waits until its panel is mapped. The panel
# grows with its icons, or keeps the width given in pixels.
start_tray_host() {  # [WIDTH]
    local width=(--widthtype request)
    if [ -n "${1:-}" ]; then width=(--widthtype pixel --width "$1"); fi
    start_helper trayer tray_panel_mapped trayer --edge top --align right "${width[@]}" \
        --height 24 --transparent false --tint 0x808080 || fail "the tray host did not start"
    TRAYER_PID=$HELPER_PID
}

tray_panel_mapped() {
    tray_panel >/dev/null
}

stop_tray_host() {
    if [ -n "${TRAYER_PID:-}" ]; then kill "$TRAYER_PID" 2>/dev/null || true; wait "$TRAYER_PID" 2>/dev/null || true; fi
    TRAYER_PID=
}

# Runs the command every tenth of a second until it succeeds; fails after the given seconds.
wait_until() {
    local seconds=$1
    shift
    for _ in $(seq 1 $((seconds * 10))); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    return 1
}

# Prints the id of trayer's panel window.
tray_panel() {
    local id
    id=$(xdotool search --onlyvisible --classname '^panel$' 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && echo "$id"
}

# Prints the id of the program's icon docked in the panel: a window of instance "haojian"
# below it.
tray_icon() {
    local panel id
    panel=$(tray_panel) || return 1
    id=$(xwininfo -tree -id "$panel" | awk '/: \("haojian" / { print $1; exit }')
    [ -n "$id" ] && echo "$id"
}

no_tray_icon() {
    ! tray_icon >/dev/null
}

process_ended() {
    ! kill -0 "$1" 2>/dev/null
}

# Minimises the window as a window manager would, and waits until the program has hidden
# it (withdrawn it from the task bar).
minimise() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/wm_state.py" iconify "$1" 10 >/dev/null
}

# Records that the window is shown again, as a window manager does when it is mapped.
shown_again() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/wm_state.py" normal "$1"
}

# True while the window is mapped and viewable.
is_viewable() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

is_not_viewable() {
    ! is_viewable "$1"
}

# Presses the key until the window has gone, a few times: on a loaded machine a popup may be
# on screen a moment before it holds the keyboard. Focuses the window first when asked.
press_until_gone() {
    local window=$1 key=$2 focus=${3:-}
    for _ in 1 2 3 4 5; do
        if [ -n "$focus" ]; then xdotool windowfocus --sync "$window" 2>/dev/null || true; fi
        xdotool key "$key"
        if wait_until 2 is_not_viewable "$window"; then return 0; fi
    done
    return 1
}

# Moves the pointer to the middle of the window and clicks the given button there.
click_middle_of() {
    # shellcheck disable=SC2034  # set by the eval below, kept local
    local window=$1 button=$2 X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove "$((X + WIDTH / 2))" "$((Y + HEIGHT / 2))" click "$button"
}

# Prints the ids of the program's visible windows, one a line, sorted.
program_windows() {
    xdotool search --onlyvisible --classname '^haojian$' 2>/dev/null | sort
}

# Prints the id of a visible program window that is not among the given ones.
new_program_window() {
    local known=$1 id
    id=$(program_windows | grep -vxF -f <(printf '%s\n' $known) | head -n 1) || true
    [ -n "$id" ] && echo "$id"
}

# Starts Debian's openbox as the window manager and waits until it has taken the screen.
start_window_manager() {
    start_helper openbox window_manager_running openbox --sm-disable || return 1
    WM_PID=$HELPER_PID
}

stop_window_manager() {
    if [ -n "${WM_PID:-}" ]; then kill "$WM_PID" 2>/dev/null || true; wait "$WM_PID" 2>/dev/null || true; fi
    WM_PID=
}

window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# True while the window manager lists the window among its clients (_NET_CLIENT_LIST), as a
# task bar shows them.
is_client() {
    xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -qi "$(printf '0x%x' "$1")\b"
}

is_not_client() {
    ! is_client "$1"
}

# True while the window's WM_STATE is IconicState (minimised, not withdrawn).
is_iconic() {
    xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'
}
