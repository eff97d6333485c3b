#!/usr/bin/env bash
# Cross-builds libxlsxwriter as a static library for Windows from Debian's source package, the
# same version as the Linux build's libxlsxwriter-dev, against zlib from Debian's
# libz-mingw-w64-dev. The library's own copy of minizip's writer is compiled in with its symbols
# renamed (lxw_zipOpen...), so that it cannot clash with a separate minizip linked into the same
# program for reading workbooks. Quick when the prefix already holds this version.
# Usage: build-libxlsxwriter.sh BUILD_DIR PREFIX [TOOLCHAIN_FILE]
set -euo pipefail

usage="usage: build-libxlsxwriter.sh BUILD_DIR PREFIX [TOOLCHAIN_FILE]"
build=${1:?$usage}
prefix=${2:?$usage}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
toolchain=$(readlink -f "${3:-$root/cmake/mingw-w64-x86_64.cmake}")
mkdir -p "$build" "$prefix"
build=$(readlink -f "$build")/libxlsxwriter
prefix=$(readlink -f "$prefix")
triple=$(sed -n 's/^set(MINGW_TRIPLE \(.*\))/\1/p' "$toolchain")
[[ -n $triple ]] || { echo "build-libxlsxwriter.sh: no MINGW_TRIPLE in $toolchain" >&2; exit 1; }
zlib=/usr/$triple/lib/libz.a
[[ -e $zlib ]] || { echo "build-libxlsxwriter.sh: no $zlib; run tools/setup.sh once as root" >&2; exit 1; }

# apt-get source needs a deb-src entry, which tools/setup.sh adds.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "build-libxlsxwriter.sh: apt has no deb-src entry; run tools/setup.sh once as root" >&2
    exit 1
fi

version=$(apt-cache showsrc libxlsxwriter | sed -n 's/^Version: //p' | sort -V | tail -1)
[[ -n $version ]] || { echo "build-libxlsxwriter.sh: no source for libxlsxwriter" >&2; exit 1; }
stamp=$prefix/.libxlsxwriter-$version-$(basename "$toolchain" .cmake)
[[ -e $stamp && -e $prefix/lib/libxlsxwriter.a ]] && exit 0

rm -rf "$build"
mkdir -p "$build"
(cd "$build" && apt-get source -qq "libxlsxwriter=$version" >/dev/null)
src=$(find "$build" -mindepth 1 -maxdepth 1 -type d -name 'libxlsxwriter-*' | head -1)

# The toolchain's -DUNICODE is left out: the library calls the narrow C runtime only.
cmake -S "$src" -B "$build/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="-D_WIN32_WINNT=0x0601" \
    -DZLIB_LIBRARY="$zlib" -DZLIB_INCLUDE_DIR=/usr/$triple/include \
    -DBUILD_SHARED_LIBS=OFF -DUSE_SYSTEM_MINIZIP=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
    >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; exit 1; }
cmake --build "$build/build" --target xlsxwriter >"$build/build.log" 2>&1 ||
    { tail -50 "$build/build.log" >&2; exit 1; }

# Every global symbol that the bundled minizip defines gets the prefix lxw_, in its definitions
# and in the library's calls to it.
lib=$build/build/libxlsxwriter.a
nm=$triple-nm
objcopy=$triple-objcopy
minizip_objects=$(ar t "$lib" | grep -E '^(ioapi|zip)\.c\.obj$')
[[ -n $minizip_objects ]] || { echo "build-libxlsxwriter.sh: no minizip objects in $lib" >&2; exit 1; }
(cd "$build" && rm -rf objects && mkdir objects && cd objects && ar x "$lib" $minizip_objects &&
    $nm --defined-only --extern-only $minizip_objects | awk 'NF == 3 { print $3 }' |
    sort -u | awk '{ print $1 " lxw_" $1 }' >"$build/renamed.syms")
$objcopy --redefine-syms="$build/renamed.syms" "$lib"
# Checked: no name of minizip is left defined.
left=$($nm --defined-only --extern-only "$lib" 2>/dev/null | awk 'NF == 3 { print $3 }' |
    grep -E '^(zip|unz|fill_|call_z)' || true)
[[ -z $left ]] || { echo "build-libxlsxwriter.sh: minizip names left in $lib: $left" >&2; exit 1; }

install -d "$prefix/include" "$prefix/lib"
cp -r "$src/include/xlsxwriter" "$src/include/xlsxwriter.h" "$prefix/include/"
install -m 644 "$lib" "$prefix/lib/"
rm -f "$prefix"/.libxlsxwriter-*
touch "$stamp"
