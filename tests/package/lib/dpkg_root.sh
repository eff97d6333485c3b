# shellcheck shell=bash
# Shell helpers that install packages with dpkg itself into a temporary root: dpkg keeps its
# own database there (ROOT/var/lib/dpkg), and the maintainer scripts run without chroot, on
# the paths under DPKG_ROOT. The libraries the programs need come from the running system, so
# dependencies are not asked for. Source this file; it defines functions only.

# Makes DIR an empty root with an empty dpkg database.
dpkg_root_init() {
    mkdir -p "$1/var/lib/dpkg/info" "$1/var/lib/dpkg/updates" "$1/var/lib/dpkg/triggers"
    touch "$1/var/lib/dpkg/status" "$1/var/lib/dpkg/available"
}

# Runs dpkg on the root DIR: dpkg_in DIR -i PACKAGE.deb, dpkg_in DIR --remove haojian, ...
dpkg_in() {
    local root=$1
    shift
    dpkg --root="$root" --log=/dev/null --force-script-chrootless --force-depends \
        --force-not-root "$@"
}

# Writes OUT, the package DEB with its version set to VERSION, after running the command
# EDIT (a function name, or true) in its unpacked tree. The file list is made anew.
repack() {
    local deb=$1 out=$2 version=$3 edit=$4 tree
    tree=$(mktemp -d)
    dpkg-deb -R "$deb" "$tree/p"
    sed -i "s/^Version: .*/Version: $version/" "$tree/p/DEBIAN/control"
    (cd "$tree/p" && "$edit")
    (cd "$tree/p" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z |
        xargs -0 md5sum >DEBIAN/md5sums)
    dpkg-deb --root-owner-group -Zxz --build "$tree/p" "$out" >/dev/null
    rm -rf "$tree"
}
