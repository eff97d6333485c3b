#!/usr/bin/env bash
# The manual pages and the bash completion of the package agree with the program: both pages
# render without a warning; haojian-cli(1) says where a newer database goes; every option that a command's --help names is in haojian-cli(1)
# and is offered by the completion after that command; every layout and card type that the
# completion offers is one that export takes.
set -euo pipefail
source "$(dirname "$0")/lib/unpacked_package.sh"
cli=$root/usr/bin/haojian-cli
export LC_ALL=C.UTF-8

for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
manual=$(MANWIDTH=200 man -E UTF-8 -l "$root/usr/share/man/man1/haojian-cli.1.gz" 2>/dev/null)
grep -q 'where a newer database goes.*/var/lib/haojian/kelvaronset\.dat' <<<"$manual" ||
    fail "haojian-cli(1) does not say where a newer database goes"

# The completion as bash-completion loads it, asked as a user pressing Tab would.
complete_words() {  # the words typed so far, the last one being completed
    bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _haojian_cli haojian-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
        printf "%s\n" "${COMPREPLY[@]}"
    ' _ "$root/usr/share/bash-completion/completions/haojian-cli" "$@"
}

commands=$(complete_words haojian-cli '')
for command in lookup export merge; do
    grep -qx "$command" <<<"$commands" || fail "completion does not offer the command $command"
done
# The tool itself, then each command whose --help the program answers; "db" has two.
for command in "" lookup export merge stats "db build" "db check"; do
    # shellcheck disable=SC2086
    help=$("$cli" $command --help 2>/dev/null) || continue
    grep -q "haojian-cli $command" <<<"$manual" || fail "the manual lacks the command $command"
    # shellcheck disable=SC2086
    offered=$(complete_words haojian-cli $command -)
    for option in $(grep -oE '(^|[][ ,|])--?[a-z][a-z0-9-]*' <<<"$help" | grep -oE -- '--?[a-z][a-z0-9-]*' | sort -u); do
        grep -qF -- "$option" <<<"$manual" || fail "the manual lacks $command $option"
        grep -qx -- "$option" <<<"$offered" || fail "completion does not offer $command $option"
    done
done

printf '%s\r\n' 138001005011 133000013013 >"$work/db.dat"
printf '13800100000\r\n' >"$work/list.txt"
while read -r layout; do
    "$cli" export --db "$work/db.dat" --layout "$layout" -o "$work/out.txt" "$work/list.txt" \
        >/dev/null 2>&1 || fail "export does not take the completed layout $layout"
done < <(complete_words haojian-cli export --layout '')
[ "$(complete_words haojian-cli export --layout '' | wc -l)" -eq 6 ] || fail "not six layouts"
while read -r card; do
    "$cli" export --db "$work/db.dat" --card "$card" -o "$work/out.txt" "$work/list.txt" \
        >/dev/null 2>&1 || fail "export does not take the completed card type $card"
done < <(complete_words haojian-cli export --card '')

# Options before the command are the command's, as the program takes them; "help db" offers
# db's commands; "--layout=" completes as "--layout " does.
grep -qx -- --utf8 <<<"$(complete_words haojian-cli -q lookup -)" ||
    fail "completion does not find the command after an option"
[ "$(complete_words haojian-cli help db '' | tr '\n' ' ')" = "build check " ] ||
    fail "completion offers nothing after help db"
[ "$(complete_words haojian-cli export --layout= | wc -l)" -eq 6 ] ||
    fail "completion offers no layout after --layout="

finish "manual pages and completion agree with the program"
