#!/usr/bin/env bash
# haojian-cli.exe under wine, ended while it writes an export or a merge over an existing file
# (by TerminateProcess through taskkill /F, or by the end of its process): the old file stays
# whole and byte for byte as it was, and nothing is left beside it.
# Usage: killed_run_wine.sh BIN_DIR WINE_PREFIX
set -euo pipefail
bin=$(cd "$1" && pwd)
prefix=$2
root=$(cd "$(dirname "$0")/../.." && pwd)

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then
        kill -CONT "$pid" 2>/dev/null || true
        kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
fail() {
    echo "FAIL: $*"
    exit 1
}
wine_run() { "$root/tools/windows/wine-run.sh" --prefix "$prefix" "$@"; }

# A name of its own, so that its Windows process is told from any other run in the prefix.
exe=killed-$$.exe
cp "$bin/haojian-cli.exe" "$exe"
cp "$bin/kelvaronset.dat" .
# 3,000,000 numbers (39 MB): the result takes a good part of a second to write under wine.
awk 'BEGIN { srand(7); for (i = 0; i < 3000000; i++)
             printf "1%d%09d\r\n", 3 + int(rand() * 6), int(rand() * 1e9) }' >list.txt
mkdir target
# The result lines no old file holds, so that a partial write would show.
seq 1 200000 | sed 's/^/old line /; s/$/\r/' >old.txt

command_args() {  # what: export | merge | merge-onto-source
    case $1 in
    export) echo "export --db kelvaronset.dat -o target/out.txt list.txt" ;;
    merge) echo "merge -o target/out.txt list.txt" ;;
    merge-onto-source) echo "merge -o target/out.txt target/out.txt" ;;
    esac
}
old_target() {
    if [ "$1" = merge-onto-source ]; then cp list.txt target/out.txt; else cp old.txt target/out.txt; fi
}
listing() { (cd target && ls -A | sort); }
temporary() {
    local f
    for f in target/.haojian-*; do
        [ -e "$f" ] && echo "$f" && return 0
    done
    return 1
}
process_state() { sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1; }

# Each command's whole result, from a run left alone.
declare -A full_size
for what in export merge merge-onto-source; do
    old_target "$what"
    # shellcheck disable=SC2046
    wine_run "$exe" $(command_args "$what") >run.out 2>&1 || fail "$what: $(cat run.out)"
    full_size[$what]=$(stat -c %s target/out.txt)
    [ "${full_size[$what]}" -gt 1000000 ] || fail "$what wrote ${full_size[$what]} bytes"
    [ -z "$(temporary)" ] || fail "$what left $(temporary)"
done

# Starts the command, and freezes it while it has written part of its result: returns 1 when
# it ended before it was seen so.
stop_mid_write() {
    local what=$1 file size
    # Started straight, not through a function, so that $! is wine's process itself.
    # shellcheck disable=SC2046
    "$root/tools/windows/wine-run.sh" --prefix "$prefix" "$exe" $(command_args "$what") \
        >run.out 2>&1 &
    pid=$!
    for ((i = 0; i < 30000; ++i)); do
        file=$(temporary) && [ -s "$file" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.002
    done
    kill -STOP "$pid" 2>/dev/null || return 1
    for ((i = 0; i < 1000; ++i)); do
        [ "$(process_state "$pid")" = T ] && break
        sleep 0.005
    done
    [ "$(process_state "$pid")" = T ] || return 1
    # Frozen with part of the result in the hidden file: truly mid-write.
    file=$(temporary) || return 1
    size=$(stat -c %s "$file")
    [ "$size" -gt 0 ] && [ "$size" -lt "${full_size[$what]}" ] || return 1
    echo "$what: stopped with $size of ${full_size[$what]} bytes written"
}

for what in export merge merge-onto-source; do
    for how in taskkill unix-kill; do
        caught=false
        for ((attempt = 0; attempt < 5; ++attempt)); do
            old_target "$what"
            before=$(listing)
            old_sum=$(sha256sum <target/out.txt)
            if ! stop_mid_write "$what"; then
                kill -CONT "$pid" 2>/dev/null || true
                wait "$pid" || true
                pid=
                continue
            fi
            if [ "$how" = taskkill ]; then
                # TerminateProcess, as the task manager ends a program: by its Windows id.
                wpid=$(wine_run winedbg --command "info proc" | grep -F "'$exe'" |
                    grep -o '[0-9a-f]\{8\}' | head -n1) || fail "$what: no Windows process"
                wine_run taskkill /F /PID $((16#$wpid)) >/dev/null ||
                    fail "$what: taskkill found no process $wpid"
                kill -CONT "$pid" 2>/dev/null || true
            else
                kill -KILL "$pid"
            fi
            status=0
            { wait "$pid"; } 2>/dev/null || status=$?
            pid=
            # TerminateProcess gives the exit code taskkill chose (0): the status text the run
            # prints at its end, and the old file, tell an ended run from a finished one.
            [ "$how" = taskkill ] || [ "$status" -eq 137 ] || fail "$what, $how: status $status"
            ! grep -q . run.out || fail "$what, $how: the run said $(cat run.out)"
            caught=true
            break
        done
        $caught || fail "$what: never stopped while writing"
        # The server closes the dead process's files a moment after it ends.
        for ((i = 0; i < 100; ++i)); do
            [ "$(listing)" = "$before" ] && break
            sleep 0.1
        done
        [ "$(listing)" = "$before" ] || fail "$what, $how: left $(listing)"
        [ "$(sha256sum <target/out.txt)" = "$old_sum" ] || fail "$what, $how: the old file changed"
        echo "$what, $how: the old file whole, nothing beside it"
    done
done

# Hidden files that runs ended between taking back their mark for deletion and putting them in
# place left behind: the next run writing into the folder removes a copy of a result beside its
# target (named for it), and says so; one that may be the only copy of something (an earlier
# version's, whose target cannot be told) is kept, and said.
printf 'old\r\n' >target/.haojian-zzzzzz
touch -d 2020-01-01 target/.haojian-zzzzzz
wine_run "$exe" merge -o target/out.txt list.txt >run.out 2>&1 || fail "merge: $(cat run.out)"
grep -q 'kept "target[/\\].haojian-zzzzzz", a temporary file left by an earlier run' run.out ||
    fail "the leftover's keeping not said: $(cat run.out)"
[ "$(listing)" = "$(printf '.haojian-zzzzzz\nout.txt')" ] || fail "left $(listing)"
rm target/.haojian-zzzzzz
echo "a leftover whose target cannot be told kept and said: ok"
