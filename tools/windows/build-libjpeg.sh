#!/usr/bin/env bash
# Cross-builds libjpeg-turbo as a static library for Windows from Debian's source
# package, the same version as the Linux build's libjpeg62-turbo, so both decode
# the pictures to the same pixels and nothing comes from outside the registry.
# Quick when the prefix already holds this version.
# Usage: build-libjpeg.sh BUILD_DIR PREFIX [TOOLCHAIN_FILE]
set -euo pipefail

build=${1:?usage: build-libjpeg.sh BUILD_DIR PREFIX [TOOLCHAIN_FILE]}
prefix=${2:?usage: build-libjpeg.sh BUILD_DIR PREFIX [TOOLCHAIN_FILE]}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
toolchain=$(readlink -f "${3:-$root/cmake/mingw-w64-x86_64.cmake}")
mkdir -p "$build" "$prefix"
build=$(readlink -f "$build")/libjpeg-turbo
prefix=$(readlink -f "$prefix")

# apt-get source needs a deb-src entry, which tools/setup.sh adds.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "build-libjpeg.sh: apt has no deb-src entry; run tools/setup.sh once as root" >&2
    exit 1
fi

version=$(apt-cache showsrc libjpeg-turbo | sed -n 's/^Version: //p' | sort -V | tail -1)
[[ -n $version ]] || { echo "build-libjpeg.sh: no source for libjpeg-turbo" >&2; exit 1; }
stamp=$prefix/.libjpeg-turbo-$version-$(basename "$toolchain" .cmake)
[[ -e $stamp && -e $prefix/lib/libjpeg.a ]] && exit 0

rm -rf "$build"
mkdir -p "$build"
(cd "$build" && apt-get source -qq "libjpeg-turbo=$version" >/dev/null)
src=$(find "$build" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)

# The SIMD code needs nasm; without it the library is plain C, only slower.
simd=OFF
command -v nasm >/dev/null && simd=ON
cmake -S "$src" -B "$build/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_SIMD=$simd -DREQUIRE_SIMD=$simd >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 1; }
cmake --build "$build/build" --target jpeg-static >"$build/build.log" 2>&1 ||
    { tail -50 "$build/build.log" >&2; exit 1; }
# Only the library and its headers: the package's tools and docs are not needed.
install -d "$prefix/include" "$prefix/lib"
install -m 644 "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" \
    "$build/build/jconfig.h" "$prefix/include/"
install -m 644 "$build/build/libjpeg.a" "$prefix/lib/"
rm -f "$prefix"/.libjpeg-turbo-*
touch "$stamp"
