# shellcheck shell=bash
# Shell helpers for the package checks. Source this file with the paths of the packages haojian
# and haojian-cli as $1 and $2: dpkg installs both into $root inside a temporary folder $work
# (removed when the shell exits), their maintainer scripts included, and defines fail, which
# counts a failed check, and finish, which ends the script.
deb=$1
cli_deb=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
source "$(dirname "${BASH_SOURCE[0]}")/dpkg_root.sh"
dpkg_root_init "$root"
dpkg_in "$root" -i "$cli_deb" "$deb" >/dev/null 2>"$work/dpkg.log" || { cat "$work/dpkg.log"; exit 1; }
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Exits 1 when a check failed; otherwise prints the message.
finish() {
    if [ "$failures" -ne 0 ]; then exit 1; fi
    echo "$1"
}
