#!/usr/bin/env bash
# The checks that keep the sources tidy, run first by test.sh: every tracked C++ source as
# .clang-format wants it, every shell script as shellcheck wants it (.shellcheckrc), and the
# generated files as tools/gen_fixed_texts.py writes them.
# (Warnings, shadowed names included, fail every build tree.)
set -euo pipefail
cd "$(dirname "$0")/.."

failed=0

mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "check: the files above are not formatted; run clang-format -i on them" >&2
  failed=1
fi

# Scripts by name and, without the suffix, by their first line (the packages' maintainer scripts).
mapfile -t scripts < <(git ls-files -- '*.sh'; git ls-files -z | xargs -0 grep -lIE '^#!.*(ba)?sh$' --)
mapfile -t scripts < <(printf '%s\n' "${scripts[@]}" | sort -u)
if ! shellcheck --external-sources --severity=warning --format=gcc "${scripts[@]}"; then
  echo "check: shellcheck finds the problems above in the scripts" >&2
  failed=1
fi

generated=$(mktemp -d)
trap 'rm -rf "$generated"' EXIT
python3 tools/gen_fixed_texts.py "$generated"
for file in core/text/fixed_texts.h core/lookup/built_in_code_rows.cpp; do
  if ! cmp -s "$generated/$file" "$file"; then
    echo "check: $file differs from what tools/gen_fixed_texts.py writes; run it" >&2
    failed=1
  fi
done

exit "$failed"
