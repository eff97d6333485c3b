#!/usr/bin/env bash
# Runs a Windows program under wine in the build tree's own prefix; CMake's
# CROSSCOMPILING_EMULATOR for the Windows build, so ctest runs tests through it.
# The program's exit code is wine's (its low 8 bits on Linux).
# Usage: wine-run.sh [--prefix DIR] PROGRAM [ARG...]
#   HAOJIAN_WINEPREFIX    the prefix when --prefix is not given
#   HAOJIAN_WINE_DISPLAY  an X display for window programs; none by default
#   HAOJIAN_WINE_LINGER   seconds the wineserver stays after the last program (30)
set -euo pipefail

here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
prefix=${HAOJIAN_WINEPREFIX:-}
if [[ ${1-} == --prefix ]]; then
    prefix=${2:?--prefix needs a folder}
    shift 2
fi
if [[ -z $prefix || $# -eq 0 ]]; then
    echo "usage: wine-run.sh [--prefix DIR] PROGRAM [ARG...]" >&2
    exit 2
fi

# Without wine32, Debian's wine64 "runs" a 32-bit program by exiting 0 at
# once, which would pass every test: refuse instead.
pe_machine() {
    local off
    off=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
    [[ -n $off ]] && od -An -tx2 -j$((off + 4)) -N2 "$1" | tr -d ' '
}
if [[ -f $1 && $(pe_machine "$1") == 014c && ! -x /usr/lib/wine/wine ]]; then
    echo "wine-run.sh: $1 is a 32-bit program; running it needs wine32:i386" >&2
    exit 127
fi

"$here/wine-prefix.sh" "$prefix"
prefix=$(readlink -f "$prefix")

# Wine names Unix files through the locale's character set: UTF-8 here, so
# that Chinese file names and arguments survive.
export WINEPREFIX=$prefix LANG=C.UTF-8 LC_ALL=C.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
unset WAYLAND_DISPLAY
if [[ -n ${HAOJIAN_WINE_DISPLAY-} ]]; then
    export DISPLAY=$HAOJIAN_WINE_DISPLAY
else
    unset DISPLAY
fi

# Starting wineserver and the prefix's services costs ~0.9 s per program; one
# server kept between programs makes that ~0.05 s. The services keep the
# standard error of the program that started them, and ctest waits for its
# pipe to close until they end: so they start here, on /dev/null, under a lock
# that parallel runs wait on. `wineserver -p` exits 2 when a server runs.
(
    flock 8
    if wineserver -p"${HAOJIAN_WINE_LINGER:-30}" 8>&- </dev/null >/dev/null 2>&1; then
        wineboot 8>&- </dev/null >/dev/null 2>&1 || true
    fi
) 8>"$prefix.lock"

exec wine "$@"
