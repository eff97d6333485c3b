#!/usr/bin/env bash
# Builds do not depend on the build folder: a source compiled with debugging information in
# two build folders of different names is the same object byte for byte, and neither holds
# the path of its folder or of the source tree. (The folders are siblings of the package's
# build folder, as CMake names the sources relative to a build folder inside the source tree.)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$(dirname "$1")" && pwd)
first=$build-again-$$
second=$build-once-more-$$
trap 'rm -rf "$first" "$second"' EXIT

# Without the compiler cache: a cached object could come from anywhere.
export CCACHE_DISABLE=1
# number_lookup.cpp holds an assert, whose message names the source file.
object() {
    cmake -S "$source_dir" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHAOJIAN_SHELL=OFF \
        -DHAOJIAN_BENCH=OFF >/dev/null
    local target
    target=$(ninja -C "$1" -t targets all | sed -n 's|^\(.*/lookup/number_lookup\.cpp\.o\): .*|\1|p')
    ninja -C "$1" "$target" >/dev/null
    echo "$1/$target"
}
a=$(object "$first")
b=$(object "$second")
failed=0
if ! cmp "$a" "$b"; then
    echo "FAIL: the object differs between $first and $second"
    failed=1
fi
for path in "$first" "$second" "$source_dir"; do
    if grep -q -F "$path" "$a" "$b"; then
        echo "FAIL: an object holds the path $path"
        failed=1
    fi
done
[ "$failed" -eq 0 ] || exit 1
echo "an object built in two folders is the same, and holds neither folder's path"
