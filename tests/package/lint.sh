#!/usr/bin/env bash
# The packages pass Debian's checks: lintian without errors, the menu entry by
# desktop-file-validate, the AppStream data by appstreamcli; the menu entry starts a program on
# PATH, offers it for text files and names an icon that the package has at every size. The
# window's package brings what the window loads by name; the command-line tool's brings no Qt.
set -euo pipefail
source "$(dirname "$0")/lib/unpacked_package.sh"

# lintian refuses nothing as root, but says so; its tags go to standard output.
lintian --display-info "$deb" "$cli_deb" >"$work/lintian.txt" 2>/dev/null || true
cat "$work/lintian.txt"
if grep -q '^E: ' "$work/lintian.txt"; then fail "lintian reports errors"; fi

entries=("$root"/usr/share/applications/*.desktop)
[ ${#entries[@]} -eq 1 ] && [ -f "${entries[0]}" ] || fail "not one menu entry: ${entries[*]}"
entry=${entries[0]}
desktop-file-validate "$entry" || fail "desktop-file-validate: $entry"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "appstreamcli validate"

key() { sed -n "s/^$1=//p" "$entry"; }
exec_program=$(key Exec | cut -d' ' -f1)
[ -x "$root/usr/bin/$exec_program" ] || fail "Exec=$exec_program is not in /usr/bin"
[[ ";$(key MimeType)" == *";text/plain;"* ]] || fail "MimeType=$(key MimeType) lacks text/plain"
icon=$(key Icon)
for size in 16 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
    if [ ! -f "$png" ]; then fail "no ${size}x${size} icon $icon"; continue; fi
    actual=$(identify -format '%wx%h' "$png")
    [ "$actual" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $actual"
done
# The AppStream data names the menu entry it describes.
id=$(basename "$entry" .desktop)
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "$root/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo does not launch $id.desktop"

# Every library dependency was found, and what the program loads by name is depended on.
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libicu libjpeg62-turbo qt6-translations-l10n fonts-arphic-uming \
    "haojian-cli (= $version)"; do
    [[ $depends == *"$package"* ]] || fail "Depends lacks $package: $depends"
done
# Qt's Wayland plugin, for a session without XWayland.
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-wayland* ]] || fail "haojian does not recommend qt6-wayland"
cli_depends=$(dpkg-deb -f "$cli_deb" Depends)
for package in libicu libxlsxwriter; do
    [[ $cli_depends == *"$package"* ]] || fail "haojian-cli's Depends lacks $package: $cli_depends"
done
for package in qt6 fonts- libjpeg; do
    [[ $cli_depends != *"$package"* ]] || fail "haojian-cli depends on $package: $cli_depends"
done
# The two share no file.
overlap=$(comm -12 <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort) \
    <(dpkg-deb -c "$cli_deb" | awk '$1 !~ /^d/ { print $6 }' | sort))
[ -z "$overlap" ] || fail "both packages hold $overlap"

finish "package checks passed"
