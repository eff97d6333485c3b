#!/usr/bin/env bash
# The installer in a fresh wine prefix: a silent install for all users, again over the first,
# then a silent uninstall that leaves nothing of it behind; while the program runs, the
# uninstaller removes nothing, and waits for it to end or fails with exit code 2; an install for
# the current user whose uninstall keeps a file the user put into the program's folder.
# Usage: installer.sh BUILD_DIR LINUX_BIN_DIR
set -euo pipefail
source "$(dirname "$0")/lib/downloads.sh"

make_lookup_list
drive_c=$prefix/drive_c
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\haojian'
user_uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\haojian'

# The values of a registry key as "name=value" lines in UTF-8, strings unquoted, numbers as
# dword:0000abcd (reg query writes Chinese as "?"); nothing when the key is missing.
registry_values() {
    rm -f "$work/key.reg"
    (cd "$work" && wine_in reg export "$1" key.reg /y) >/dev/null 2>&1 || return 0
    python3 "$(dirname "$0")/lib/reg_values.py" "$work/key.reg"
}

# Whether the shortcut $1 names the file $2 (a Windows path) as its target and icon, in UTF-16.
shortcut_names() {
    python3 -c 'import sys; sys.exit(sys.argv[2].encode("utf-16-le") not in open(sys.argv[1], "rb").read())' "$1" "$2"
}

# What the prefix holds outside the Windows folder and the temporary folders.
prefix_files() {
    (cd "$drive_c" && find . -path ./windows -prune -o -path '*/Temp' -prune -o -print | LC_ALL=C sort)
}

# Runs the uninstaller as Programs and Features does for a silent uninstall, and waits until
# it has ended: it copies itself away and runs from there, so the wine server is started
# afresh (it then ends a few seconds after the last program) and waited for. With a second
# argument, the programs that run are kept, and that command runs once the uninstaller started.
uninstall() {
    local command
    command=$(registry_values "$1" | sed -n 's/^QuietUninstallString=//p')
    if [ -z "$command" ]; then
        fail "no QuietUninstallString under $1"
        return
    fi
    if [ -z "${2-}" ]; then stop_wine; fi
    # "C:\...\uninstall.exe" /AllUsers /S: the program, then its options.
    local program=${command#\"}
    program=${program%%\"*}
    local options=${command##*\"}
    # shellcheck disable=SC2086
    (cd "$work" && WINEPREFIX=$prefix LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDEBUG=-all \
        WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' DISPLAY='' wine "$program" $options) ||
        fail "the uninstaller ($command) failed"
    if [ -n "${2-}" ]; then "$2"; fi
    WINEPREFIX=$prefix timeout 120 wineserver -w || fail "the uninstaller did not end"
}

# Checks an installed copy: its files, its shortcuts, its registry entry and a look-up.
check_installed() {  # folder, Start menu folder, desktop folder or "", uninstall key, mode
    local folder=$1 menu=$2 desktop=$3 key=$4 mode=$5 name
    for name in haojian.exe haojian-cli.exe kelvaronset.dat 说明.txt NOTICE.txt COPYRIGHT.txt \
        Apache-2.0.txt uninstall.exe; do
        [ -f "$folder/$name" ] || fail "$name is not installed in $folder"
    done
    cmp -s "$folder/kelvaronset.dat" "$source_dir/data/kelvaronset.dat" ||
        fail "the installed kelvaronset.dat differs from data/kelvaronset.dat"
    local windows_folder
    windows_folder=$(registry_values "$key" | sed -n 's/^InstallLocation=//p')
    local shortcut
    for shortcut in "$menu/$app_name.lnk" ${desktop:+"$desktop/$app_name.lnk"}; do
        if [ ! -f "$shortcut" ]; then
            fail "no shortcut $shortcut"
        elif ! shortcut_names "$shortcut" "$windows_folder\\haojian.exe"; then
            fail "the shortcut $shortcut does not start $windows_folder\\haojian.exe"
        fi
    done

    local values
    values=$(registry_values "$key")
    for expected in "DisplayName=$app_name" "DisplayVersion=$version" Publisher=Haojian \
        "DisplayIcon=\"$windows_folder\\haojian.exe\",0" \
        "UninstallString=\"$windows_folder\\uninstall.exe\" /$mode"; do
        grep -qxF -- "$expected" <<<"$values" || fail "$key lacks $expected; it holds: $values"
    done
    local size
    size=$(sed -n 's/^EstimatedSize=dword://p' <<<"$values")
    # In KiB: at least the database's size.
    if [ -z "$size" ] || [ $((16#$size)) -lt $(($(stat -c %s "$folder/kelvaronset.dat") / 1024)) ]; then
        fail "EstimatedSize is '$size'"
    fi
    check_lookup "$folder"
}

# For all users, with a desktop shortcut: Program Files, the common Start menu and desktop,
# HKLM.
WINEPREFIX=$prefix "$source_dir/tools/windows/wine-prefix.sh" "$prefix"
before=$(prefix_files)
all_users_folder="$drive_c/Program Files/$app_name"
common_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
common_desktop="$drive_c/users/Public/Desktop"
for round in first second; do
    if ! wine_in "$setup" /S /AllUsers /Desktop >"$work/setup.log" 2>&1; then
        fail "the $round silent install for all users failed: $(cat "$work/setup.log")"
    fi
    check_installed "$all_users_folder" "$common_menu" "$common_desktop" "$uninstall_key" AllUsers
done
# The installed program starts. (Wine cannot follow the Start-menu shortcut itself: it finds
# the target by the shortcut's ANSI path, which its code page cannot hold.)
check_window_opens "$all_users_folder/haojian.exe"
uninstall "$uninstall_key"
left=$(diff <(echo "$before") <(prefix_files) | sed -n 's/^[<>] //p')
[ -z "$left" ] || fail "the uninstall left or removed files: $left"
for key in "$uninstall_key" 'HKLM\Software\Haojian'; do
    [ -z "$(registry_values "$key")" ] || fail "the uninstall left $key"
done

# For the current user, silently and so without a desktop shortcut.
user_home="$drive_c/users/$(id -un)"
user_folder="$user_home/AppData/Local/Programs/$app_name"
user_menu="$user_home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
if ! wine_in "$setup" /S >"$work/setup.log" 2>&1; then
    fail "the silent install for the current user failed: $(cat "$work/setup.log")"
fi
check_installed "$user_folder" "$user_menu" "" "$user_uninstall_key" CurrentUser
[ ! -e "$common_desktop/$app_name.lnk" ] && [ -z "$(find "$drive_c/users" -name "$app_name.lnk" -path '*Desktop*')" ] ||
    fail "a silent install without /Desktop made a desktop shortcut"
printf '13800138000\r\n' >"$user_folder/我的清单.txt"

# While the program runs, the uninstaller removes nothing. Silent, it waits for the program to
# end; when it does not, it fails with exit code 2 (seen by a caller that waits for it, which
# starts it with _?=), the installed copy and its uninstall entry intact. A program that ends
# while it waits is uninstalled as usual. (In the current user's folder: wine would quote the
# _?= argument of a folder with a space, which NSIS then does not see.)
stop_wine
start_xvfb
trap on_exit EXIT
(cd "$work" && WINEPREFIX=$prefix LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDEBUG=-all \
    WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' exec wine "$user_folder/haojian.exe") \
    >/dev/null 2>&1 &
APP_PID=$!
wait_for_window "$app_name" 60 >/dev/null || fail "the installed program opened no window"
windows_folder=$(registry_values "$user_uninstall_key" | sed -n 's/^InstallLocation=//p')
status=0
wine_in "$user_folder/uninstall.exe" /CurrentUser /S "_?=$windows_folder" >/dev/null 2>&1 ||
    status=$?
[ "$status" -eq 2 ] || fail "the silent uninstall while the program ran exited $status, not 2"
check_installed "$user_folder" "$user_menu" "" "$user_uninstall_key" CurrentUser
end_program() {
    sleep 3
    [ -f "$user_folder/haojian.exe" ] || fail "the uninstaller did not wait for the program"
    kill "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=
}
uninstall "$user_uninstall_key" end_program
stop_xvfb
remaining=$(cd "$user_folder" 2>/dev/null && ls -A)
[ "$remaining" = 我的清单.txt ] || fail "after the uninstall the program's folder holds '$remaining', not the user's file alone"
[ ! -e "$user_menu/$app_name.lnk" ] || fail "the uninstall left the Start-menu shortcut"
for key in "$user_uninstall_key" 'HKCU\Software\Haojian'; do
    [ -z "$(registry_values "$key")" ] || fail "the uninstall left $key"
done

finish "installed for all users twice and for the current user; both uninstalled cleanly"
