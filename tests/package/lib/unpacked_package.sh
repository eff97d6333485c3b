# Shell helpers for the package checks. Source this file with the package's path as $1: it
# unpacks the package into $root inside a temporary folder $work (removed when the shell
# exits), and defines fail, which counts a failed check, and finish, which ends the script.
deb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"
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
