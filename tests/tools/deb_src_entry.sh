#!/usr/bin/env bash
# The deb-src entry that tools/setup.sh adds points where the machine's own deb entries for the
# release point, from one-line and deb822 sources alike: a mirror or proxy URI and its key are
# kept, disabled stanzas, other suites and deb-src lines are passed over, and a machine with no
# entry for the release gets none.
set -euo pipefail
entry=$(cd "$(dirname "$0")/../.." && pwd)/tools/deb_src_entry.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() {  # what, expected text, actual text
    if [ "$2" != "$3" ]; then
        printf 'FAIL: %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}

cat >"$work/sources.list" <<'SRC'
# deb http://commented.example/debian bookworm main
deb [arch=amd64 signed-by=/etc/apt/keyrings/mirror.gpg] http://mirror.local:3142/debian/ bookworm main contrib
deb http://security.debian.org/debian-security bookworm-security main
deb-src http://elsewhere.example/debian bookworm main
deb http://mirror.local:3142/debian bookworm-updates main # the updates
SRC
expect "one-line entries" "Types: deb-src
URIs: http://mirror.local:3142/debian
Suites: bookworm
Components: main
Signed-By: /etc/apt/keyrings/mirror.gpg

Types: deb-src
URIs: http://mirror.local:3142/debian
Suites: bookworm-updates
Components: main" "$("$entry" bookworm "$work/sources.list")"

cat >"$work/debian.sources" <<'SRC'
Types: deb
URIs: http://disabled.example/debian
Suites: bookworm
Components: main
Enabled: no

# Field names in any letter case; two URIs of one stanza.
types: deb deb-src
uris: http://proxy.lan/debian http://proxy2.lan/debian
suites: bookworm bookworm-updates bookworm-backports
components: main
signed-by: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
SRC
expect "deb822 stanzas" "Types: deb-src
URIs: http://proxy.lan/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://proxy2.lan/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" "$("$entry" bookworm "$work/debian.sources")"

if out=$("$entry" trixie "$work/sources.list" "$work/debian.sources"); then
    expect "no entry of the release" "(exit 1)" "$out"
fi

[ "$failures" -eq 0 ] || exit 1
echo "deb-src entries follow the machine's deb entries"
