#!/usr/bin/env bash
# Makes the Debian packages: tools/package.sh [BUILD_DIR]
# Installs what packaging needs first when it is missing (tools/setup.sh --packaging, as root).
# Builds the programs in BUILD_DIR (default build, the tree that run.sh and test.sh use;
# configured when it is not there yet; it must be a release build), installs each package's
# component with the project's install rules into BUILD_DIR/package/<package>, and writes
#   BUILD_DIR/haojian-cli_<version>_<arch>.deb   haojian-cli and the database, no Qt
#   BUILD_DIR/haojian_<version>_<arch>.deb       the desktop program, which depends on the first
# Prints their paths, one a line, haojian's first. Uses Debian's own tools: dpkg-shlibdeps for
# the library dependencies, dpkg-gencontrol for the control file, dpkg-deb to build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
umask 022

# On a fresh machine the tools come first (as root, or it names what is missing).
tools/setup.sh --packaging >&2

# File times in the packages and in what the build embeds (the pictures compiled into the
# program): the date of the newest changelog entry, so that two builds give the same bytes.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
export SOURCE_DATE_EPOCH

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja >&2
fi
build=$(cd "$build" && pwd)
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
# No build type given: the project's default, RelWithDebInfo.
build_type=$(cache_value CMAKE_BUILD_TYPE)
case "${build_type:-RelWithDebInfo}" in
    Release | RelWithDebInfo | MinSizeRel) ;;
    *) echo "package.sh: $build is a $build_type build; a package needs a release build" >&2; exit 1 ;;
esac
if [ -n "$(cache_value HAOJIAN_SANITIZE)" ] || [ "$(cache_value HAOJIAN_SHELL)" = OFF ]; then
    echo "package.sh: $build is built with sanitizers or without the desktop program" >&2
    exit 1
fi
# Standard output carries only the packages' paths.
cmake --build "$build" --target haojian haojian-cli >&2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
if [ "$version" != "$changelog_version" ]; then
    echo "package.sh: the build's version is $version, packaging/changelog's newest entry" \
        "$changelog_version: add an entry for $version" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)

work=$build/package
rm -rf "$work"
mkdir -p "$work/debian"
# dpkg-shlibdeps and dpkg-gencontrol read a source package's debian/ folder: lay one out
# from packaging/.
cp packaging/control packaging/changelog "$work/debian/"

# Lays out the package PACKAGE from the install component COMPONENT in $work/PACKAGE and
# prints its root.
install_component() {
    local package=$1 component=$2 root=$work/$1
    mkdir -p "$root"
    DESTDIR=$root cmake --install "$build" --prefix /usr --component "$component" >/dev/null
    echo "$root"
}

# Writes the package PACKAGE from its root, with the maintainer scripts named after it, and
# prints its path.
build_package() {
    local package=$1 root=$work/$1
    shift
    local programs=("$root"/usr/lib/haojian/*)
    local program binaries=()
    for program in "${programs[@]}"; do
        [ -L "$program" ] || [ ! -x "$program" ] || binaries+=("$program")
    done
    # Stripped as Debian's own packages are: no debugging symbols, no compiler notes.
    strip --remove-section=.comment --remove-section=.note "${binaries[@]}"
    # Debian keeps manual pages and changelogs compressed.
    find "$root/usr/share/man" -type f -name '*.[0-9]' -exec gzip -9n {} +
    gzip -9n "$root/usr/share/doc/$package/changelog"
    mkdir -p "$root/DEBIAN"
    (cd "$work" && dpkg-shlibdeps -O "${binaries[@]}" >"debian/$package.substvars")
    (cd "$work" && dpkg-gencontrol -p"$package" -v"$version" -P"$root" \
        -T"debian/$package.substvars" -fdebian/files)
    (cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z |
        xargs -0 md5sum >DEBIAN/md5sums)
    chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
    local script
    for script in "$@"; do
        install -m 0755 "packaging/$script" "$root/DEBIAN/"
    done
    # Every file of the package the same time, whenever its source was checked out.
    find "$root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    local deb=$build/${package}_${version}_${arch}.deb
    dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
    echo "$deb"
}

# haojian-cli: the command-line tool and the segment database. The database is the
# administrator's: the package ships it in /usr/share/haojian, the maintainer scripts keep the
# one in use in /var/lib/haojian (a replaced one survives upgrades and reinstalls), and the
# programs reach it through a link beside them. The link is relative, as the links in usr/bin
# are, so that an unpacked tree finds its own var/lib.
root=$(install_component haojian-cli cli)
mkdir -p "$root/usr/share/haojian"
mv "$root/usr/lib/haojian/kelvaronset.dat" "$root/usr/share/haojian/kelvaronset.dat"
ln -s ../../../var/lib/haojian/kelvaronset.dat "$root/usr/lib/haojian/kelvaronset.dat"
install -D -m 0644 packaging/lintian-overrides "$root/usr/share/lintian/overrides/haojian-cli"
cli_deb=$(build_package haojian-cli preinst postinst postrm)

# haojian: the desktop program. Its preinst moves a database replaced in the old place too,
# should the upgrade of haojian come before haojian-cli's.
install_component haojian window >/dev/null
window_deb=$(build_package haojian preinst)

echo "$window_deb"
echo "$cli_deb"
