#!/usr/bin/env bash
# Lookup is a stream filter: GNU parallel splitting a list of 1,000,000 numbers into blocks,
# looking them up in several processes and keeping their order (-k) gives exactly what one
# process gives.
#   scale_out.sh HAOJIAN_CLI
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Numbers of every block 130-199, with CR LF, empty and malformed lines among them.
awk 'BEGIN {
  srand(11)
  for (i = 0; i < 1000000; i++) {
    n = sprintf("1%02d%08d", 30 + int(rand() * 70), int(rand() * 100000000))
    if (i % 1000 == 7) n = ""
    else if (i % 1000 == 8) n = "+86" n
    else if (i % 1000 == 9) n = n "\r"
    print n
  }
}' >"$work/list.txt"

"$cli" lookup - <"$work/list.txt" >"$work/one.txt"
parallel --will-cite --pipe -k --block 2M "$cli" lookup - <"$work/list.txt" >"$work/parallel.txt"
lines=$(wc -l <"$work/one.txt")
if [ "$lines" -ne 1000000 ]; then
  echo "one process gave $lines lines, not 1000000" >&2
  exit 1
fi
cmp "$work/one.txt" "$work/parallel.txt"
echo "parallel --pipe -k: $lines lines, identical to one process"
