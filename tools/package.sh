#!/usr/bin/env bash
# Makes the Debian package: tools/package.sh [BUILD_DIR]
# Installs the build tools first when they are missing (tools/setup.sh, as root).
# Builds the programs in BUILD_DIR (default build, the tree that run.sh and test.sh use;
# configured when it is not there yet; it must be a release build), installs them with the project's
# install rules into BUILD_DIR/package/root, and writes BUILD_DIR/haojian_<version>_<arch>.deb.
# Prints the package's path. Uses Debian's own tools: dpkg-shlibdeps for the library
# dependencies, dpkg-gencontrol for the control file, dpkg-deb to build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
umask 022

# On a fresh machine the build tools come first, as for run.sh (as root, or it names what is
# missing).
tools/setup.sh >&2

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
# Standard output carries only the package's path.
cmake --build "$build" --target haojian haojian-cli >&2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
if [ "$version" != "$changelog_version" ]; then
    echo "package.sh: the build's version is $version, packaging/changelog's newest entry" \
        "$changelog_version: add an entry for $version" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)
# File times in the package: the date of the newest changelog entry.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
export SOURCE_DATE_EPOCH

work=$build/package
root=$work/root
rm -rf "$work"
mkdir -p "$root"
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
programs=("$root"/usr/lib/haojian/haojian "$root"/usr/lib/haojian/haojian-cli)

# The segment database is the administrator's: the package ships it in /usr/share/haojian, the
# maintainer scripts keep the one in use in /var/lib/haojian (a replaced one survives upgrades
# and reinstalls), and the programs reach it through a link beside them. The link is relative,
# as the links in usr/bin are, so that an unpacked tree finds its own var/lib.
mkdir -p "$root/usr/share/haojian"
mv "$root/usr/lib/haojian/kelvaronset.dat" "$root/usr/share/haojian/kelvaronset.dat"
ln -s ../../../var/lib/haojian/kelvaronset.dat "$root/usr/lib/haojian/kelvaronset.dat"
install -D -m 0644 packaging/lintian-overrides "$root/usr/share/lintian/overrides/haojian"
# Stripped as Debian's own packages are: no debugging symbols, no compiler notes.
strip --remove-section=.comment --remove-section=.note "${programs[@]}"

# Debian keeps manual pages and changelogs compressed.
find "$root/usr/share/man" -type f -name '*.[0-9]' -exec gzip -9n {} +
gzip -9n "$root/usr/share/doc/haojian/changelog"

# dpkg-shlibdeps and dpkg-gencontrol read a source package's debian/ folder: lay one out
# from packaging/.
mkdir -p "$work/debian" "$root/DEBIAN"
cp packaging/control packaging/changelog "$work/debian/"
(cd "$work" && dpkg-shlibdeps -O "${programs[@]}" >debian/substvars)
(cd "$work" && dpkg-gencontrol -phaojian -v"$version" -P"$root" -Tdebian/substvars \
    -fdebian/files)
(cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z |
    xargs -0 md5sum >DEBIAN/md5sums)
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
install -m 0755 packaging/preinst packaging/postinst packaging/postrm "$root/DEBIAN/"

deb=$build/haojian_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
