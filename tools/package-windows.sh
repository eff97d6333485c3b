#!/usr/bin/env bash
# shellcheck disable=SC2154  # version, readme, year and icon: set by the sourced package.env
# Makes the Windows downloads: tools/package-windows.sh [BUILD_DIR]
# Builds haojian.exe and haojian-cli.exe in BUILD_DIR (default build-windows; configured for
# 64-bit Windows with cmake/mingw-w64-x86_64.cmake when it is not there yet; a release build),
# lays out the program's folder in BUILD_DIR/package-windows/ and writes into BUILD_DIR:
#   haojian-<version>-win64.zip    the folder to unzip and run, nothing to install
#   haojian-<version>-setup.exe    the installer, made with NSIS (packaging/windows/haojian.nsi)
# Prints the two paths. Texts for the user are GBK with CR LF, as Notepad on a Chinese
# Windows reads them.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$(pwd)
build=${1:-build-windows}
umask 022

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" >&2
fi
build=$(cd "$build" && pwd)
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
env_file=$build/packaging/windows/package.env
if [ ! -f "$env_file" ]; then
    echo "package-windows.sh: $build is not a Windows build (configure it with" \
        "-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)" >&2
    exit 1
fi
case "$(cache_value CMAKE_BUILD_TYPE)" in
    '' | Release | RelWithDebInfo | MinSizeRel) ;;
    *) echo "package-windows.sh: $build is not a release build" >&2; exit 1 ;;
esac
# Standard output carries only the two paths.
cmake --build "$build" --target haojian haojian-cli >&2
# shellcheck source=/dev/null
source "$env_file"
for program in haojian haojian-cli; do
    if [ ! -f "$build/bin/$program.exe" ]; then
        echo "package-windows.sh: $build/bin/$program.exe was not built" >&2
        exit 1
    fi
done

# File times in the archive: the date of the newest changelog entry.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
export SOURCE_DATE_EPOCH

name=haojian-$version-win64
work=$build/package-windows
folder=$work/$name
rm -rf "$work"
mkdir -p "$folder"

for program in haojian haojian-cli; do
    # No debugging symbols: the resources and the code stay.
    x86_64-w64-mingw32-strip -o "$folder/$program.exe" "$build/bin/$program.exe"
done
cp data/kelvaronset.dat "$folder/"
windows_text() {  # UTF-8 text with LF, file: writes it as GBK with CR LF
    iconv -f UTF-8 -t GBK | sed 's/$/\r/' >"$1"
}
windows_text "$folder/说明.txt" <"$readme"
windows_text "$folder/NOTICE.txt" <NOTICE
windows_text "$folder/COPYRIGHT.txt" <packaging/copyright
windows_text "$folder/Apache-2.0.txt" </usr/share/common-licenses/Apache-2.0

zip=$build/$name.zip
python3 tools/windows/make_zip.py "$zip" "$folder"

setup=$build/haojian-$version-setup.exe
rm -f "$setup.part"
# makensis names files through the locale's character set: UTF-8 for 说明.txt.
if ! LC_ALL=C.UTF-8 makensis -INPUTCHARSET UTF8 -V2 -DVERSION="$version" -DYEAR="$year" \
    -DFILES="$folder" -DICON="$icon" -DOUTFILE="$setup.part" \
    packaging/windows/haojian.nsi >"$work/makensis.log" 2>&1; then
    cat "$work/makensis.log" >&2
    rm -f "$setup.part"
    exit 1
fi
mv "$setup.part" "$setup"
echo "$zip"
echo "$setup"
