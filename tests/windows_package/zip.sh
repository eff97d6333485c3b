#!/usr/bin/env bash
# The portable zip: unpacked into a folder whose path holds Chinese characters and spaces, it
# holds the programs, the database and the texts (GBK, CR LF); haojian-cli.exe finds the
# database beside it and prints what the Linux tool prints; haojian.exe opens its window.
# Usage: zip.sh BUILD_DIR LINUX_BIN_DIR
set -euo pipefail
source "$(dirname "$0")/lib/downloads.sh"
make_lookup_list

folder="$work/号码 工具/新 版"
mkdir -p "$folder"
# unzip takes the UTF-8 names beside the GBK ones under a UTF-8 locale.
LC_ALL=C.UTF-8 unzip -q "$zip" -d "$folder" || fail "unzip failed"
dir="$folder/haojian-$version-win64"
expected_files=$(printf '%s\n' Apache-2.0.txt COPYRIGHT.txt NOTICE.txt haojian-cli.exe haojian.exe \
    kelvaronset.dat 说明.txt | LC_ALL=C sort)
files=$(cd "$dir" 2>/dev/null && find . -type f -printf '%P\n' | LC_ALL=C sort)
[ "$files" = "$expected_files" ] || fail "the zip holds '$files', expected '$expected_files'"
cmp -s "$dir/kelvaronset.dat" "$source_dir/data/kelvaronset.dat" ||
    fail "the zip's kelvaronset.dat differs from data/kelvaronset.dat"

for text in 说明.txt NOTICE.txt COPYRIGHT.txt Apache-2.0.txt; do
    [ -s "$dir/$text" ] || { fail "$text is missing or empty"; continue; }
    iconv -f GBK -t UTF-8 "$dir/$text" >/dev/null 2>&1 || fail "$text is not GBK"
    if grep -q -v $'\r$' "$dir/$text"; then fail "$text has lines without CR LF"; fi
done
readme=$(iconv -f GBK -t UTF-8 "$dir/说明.txt" | tr -d '\r')
for part in "$app_name $version" 'haojian-cli lookup' 'haojian-cli db build' 'kelvaronset.dat' \
    '拖到 haojian.exe' \
    'Apache'; do
    grep -qF -- "$part" <<<"$readme" || fail "说明.txt does not mention '$part'"
done
grep -q 'Apache License' "$dir/NOTICE.txt" || fail "NOTICE.txt lacks the database's licence notice"

check_lookup "$dir"

# The window: it maps on an X server, with the program's name in its caption.
check_window_opens "$dir/haojian.exe"

finish "the zip unpacks into '$folder', looks up as on Linux and starts"
