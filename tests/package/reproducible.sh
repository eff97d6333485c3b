#!/usr/bin/env bash
# The packages do not depend on where or when the sources were checked out: a copy of the
# sources in another folder, its files all of a newer time, builds packages equal byte for byte
# to the ones of this build tree, and its unstripped programs hold the path of neither tree.
# (The build folder lies inside each source tree, as CMake names the sources relative to it.)
set -euo pipefail
deb=$1
# $2, the haojian-cli package, is rebuilt with it: package.sh names both.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$(dirname "$deb")" && pwd)
copy=$(mktemp -d "${TMPDIR:-/tmp}/haojian-reproduced-XXXXXX")
trap 'rm -rf "$copy"' EXIT

# The tracked and untracked sources as they stand, with the time of the copy.
(cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ ! -f "$file" ] || printf '%s\0' "$file"; done |
    tar --null -T - -cf -) | tar -xmf - -C "$copy"

# Without the compiler cache: a cached object could come from anywhere.
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
export CCACHE_DISABLE=1
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
cmake -S "$copy" -B "$copy/build" -G Ninja -DCMAKE_BUILD_TYPE="$(cache_value CMAKE_BUILD_TYPE)" \
    -DCMAKE_CXX_COMPILER="$(cache_value CMAKE_CXX_COMPILER)" >/dev/null
packages=$(nice -n 5 "$copy/tools/package.sh" "$copy/build" 2>"$copy/package.log") ||
    { cat "$copy/package.log"; exit 1; }

failed=0
for made in $packages; do
    original=$build/$(basename "$made")
    if cmp -s "$made" "$original"; then continue; fi
    failed=1
    echo "FAIL: $(basename "$made") differs between $build and $copy/build"
    mkdir -p "$copy/a" "$copy/b"
    dpkg-deb -R "$original" "$copy/a/p"
    dpkg-deb -R "$made" "$copy/b/p"
    diff -rq "$copy/a/p" "$copy/b/p" || true
    rm -rf "$copy/a" "$copy/b"
done
for program in "$copy"/build/bin/haojian{,-cli} "$build"/bin/haojian{,-cli}; do
    for path in "$copy" "$source_dir"; do
        if grep -q -F "$path" "$program"; then
            echo "FAIL: $program holds the path $path"
            failed=1
        fi
    done
done
[ "$failed" -eq 0 ] || exit 1
echo "the packages built from a copy of the sources elsewhere are the same"
