#!/usr/bin/env bash
# Builds do not depend on the build folder: haojian-cli built again from the same source in a
# folder of another name, without the compiler cache, is byte for byte the one in the package
# once stripped as tools/package.sh strips it. (The folder sits beside the package's build
# folder: CMake names the sources relative to a build folder inside the source tree.)
set -euo pipefail
deb=$1
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$(dirname "$deb")" && pwd)
other=$build-again-$$
work=$(mktemp -d)
trap 'rm -rf "$work" "$other"' EXIT
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }

export CCACHE_DISABLE=1
cmake -S "$source_dir" -B "$other" -G Ninja -DCMAKE_BUILD_TYPE="$(cache_value CMAKE_BUILD_TYPE)" \
    -DHAOJIAN_SHELL=OFF -DHAOJIAN_BENCH=OFF >/dev/null
cmake --build "$other" --target haojian-cli >/dev/null
strip --remove-section=.comment --remove-section=.note -o "$work/again" "$other/bin/haojian-cli"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/haojian/haojian-cli >"$work/packaged"
if ! cmp "$work/again" "$work/packaged"; then
    echo "FAIL: haojian-cli built in $other differs from the package's"
    exit 1
fi
echo "haojian-cli built in another folder is the package's, byte for byte"
