#!/usr/bin/env bash
# Cross-builds expat and minizip as static libraries for Windows from Debian's source
# packages, the same versions as the Linux build's libexpat1-dev and libminizip-dev, so that
# both builds read workbooks alike and haojian-cli.exe needs no DLL beyond the system's. zlib
# comes from libz-mingw-w64-dev. Quick when the prefix already holds these versions.
# Usage: build-table-libs.sh BUILD_DIR PREFIX [TOOLCHAIN_FILE]
set -euo pipefail

build=${1:?usage: build-table-libs.sh BUILD_DIR PREFIX [TOOLCHAIN_FILE]}
prefix=${2:?usage: build-table-libs.sh BUILD_DIR PREFIX [TOOLCHAIN_FILE]}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
toolchain=$(readlink -f "${3:-$root/cmake/mingw-w64-x86_64.cmake}")
mkdir -p "$build" "$prefix"
build=$(readlink -f "$build")
prefix=$(readlink -f "$prefix")
triple=$(sed -n 's/^set(MINGW_TRIPLE \([^)]*\)).*/\1/p' "$toolchain")
triple=${triple:-x86_64-w64-mingw32}

# apt-get source needs a deb-src entry, which tools/setup.sh adds.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "build-table-libs.sh: apt has no deb-src entry; run tools/setup.sh once as root" >&2
    exit 1
fi

# Fetches source package $1 into $build/$1 and prints its folder.
fetch() {
    local version
    version=$(apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -1)
    [[ -n $version ]] || { echo "build-table-libs.sh: no source for $1" >&2; exit 1; }
    rm -rf "${build:?}/$1"
    mkdir -p "$build/$1"
    (cd "$build/$1" && apt-get source -qq "$1=$version" >/dev/null)
    find "$build/$1" -mindepth 1 -maxdepth 1 -type d -name "$1-*" | head -1
}

versions="expat-$(apt-cache showsrc expat | sed -n 's/^Version: //p' | sort -V | tail -1)"
versions+="-minizip-$(apt-cache showsrc minizip | sed -n 's/^Version: //p' | sort -V | tail -1)"
stamp=$prefix/.table-libs-$versions-$(basename "$toolchain" .cmake)
[[ -e $stamp && -e $prefix/lib/libexpat.a && -e $prefix/lib/libminizip.a ]] && exit 0
install -d "$prefix/include/minizip" "$prefix/lib"

# expat with its own CMake build: the library only.
src=$(fetch expat)
[[ -e $src/expat/CMakeLists.txt ]] && src=$src/expat
cmake -S "$src" -B "$build/expat/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF \
    >"$build/expat/configure.log" 2>&1 || { cat "$build/expat/configure.log" >&2; exit 1; }
# Debian's patches test "#if XML_DTD == 1", as its autotools build defines it; CMake's header
# defines it empty.
sed -i 's/^#define XML_DTD$/#define XML_DTD 1/' "$build/expat/build/expat_config.h"
cmake --build "$build/expat/build" >"$build/expat/build.log" 2>&1 ||
    { tail -50 "$build/expat/build.log" >&2; exit 1; }
lib=$(find "$build/expat/build" -name 'libexpat*.a' | head -1)
install -m 644 "$lib" "$prefix/lib/libexpat.a"
install -m 644 "$src/lib/expat.h" "$src/lib/expat_external.h" "$prefix/include/"

# minizip: only the reading half (unzip.c and its file functions), compiled as it stands.
src=$(fetch minizip)
cc=$triple-gcc-posix
objects=()
for file in ioapi unzip; do
    "$cc" -O2 -fstack-protector-strong -D_FORTIFY_SOURCE=2 -I"$src" -c "$src/$file.c" \
        -o "$build/minizip/$file.o"
    objects+=("$build/minizip/$file.o")
done
rm -f "$build/minizip/libminizip.a"
"$triple-ar" rcs "$build/minizip/libminizip.a" "${objects[@]}"
install -m 644 "$build/minizip/libminizip.a" "$prefix/lib/"
install -m 644 "$src/unzip.h" "$src/ioapi.h" "$prefix/include/minizip/"

rm -f "$prefix"/.table-libs-*
touch "$stamp"
