#!/usr/bin/env bash
# Prints a deb-src entry (deb822) for the Debian suite SUITE that points where the machine's own
# deb entries for that suite point: tools/deb_src_entry.sh SUITE [SOURCES_FILE...]
# Reads /etc/apt/sources.list and /etc/apt/sources.list.d/*.{list,sources} by default, in both
# formats: one-line ("deb [signed-by=K] URI SUITE COMPONENT...") and deb822 stanzas. An entry of
# SUITE or SUITE-updates gives its URIs and its Signed-By; a mirror or a proxy in the URIs is
# kept. Prints nothing, and exits 1, when no deb entry names the suite.
set -euo pipefail
suite=${1:?usage: deb_src_entry.sh SUITE [SOURCES_FILE...]}
shift
if (($# == 0)); then
  shopt -s nullglob
  set -- /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources
fi
files=()
for file in "$@"; do
  [ -f "$file" ] && files+=("$file")
done
((${#files[@]})) || exit 1

# Each matching entry becomes "URI<TAB>SUITE<TAB>SIGNED-BY"; the stanzas are grouped below.
entries=$(awk -v suite="$suite" '
  function keep(uri, s, key) {
    if (s != suite && s != suite "-updates") return
    sub(/\/+$/, "", uri)
    print uri "\t" s "\t" key
  }
  # A deb822 stanza ends at an empty line or at the end of its file.
  function flush(   n, u, m, s, i, j) {
    if (types ~ /(^|[ \t])deb([ \t]|$)/ && enabled !~ /^[ \t]*(no|false)/) {
      n = split(uris, u, /[ \t]+/)
      m = split(suites, s, /[ \t]+/)
      for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) if (u[i] != "" && s[j] != "") keep(u[i], s[j], signed)
    }
    types = uris = suites = signed = enabled = ""
  }
  FNR == 1 { flush() }
  FILENAME ~ /\.sources$/ {
    if ($0 ~ /^[ \t]*$/) { flush(); next }
    if ($0 ~ /^[ \t]*#/) next
    field = tolower($1)
    value = $0
    sub(/^[^:]*:[ \t]*/, "", value)
    if (field == "types:") types = value
    else if (field == "uris:") uris = value
    else if (field == "suites:") suites = value
    else if (field == "signed-by:") signed = value
    else if (field == "enabled:") enabled = tolower(value)
    next
  }
  # One-line entries: options in brackets may follow the type.
  $1 == "deb" {
    line = $0
    sub(/[ \t]*#.*/, "", line)
    options = ""
    if (match(line, /\[[^]]*\]/)) {
      options = substr(line, RSTART + 1, RLENGTH - 2)
      line = substr(line, 1, RSTART - 1) " " substr(line, RSTART + RLENGTH)
    }
    n = split(line, word, /[ \t]+/)
    key = ""
    m = split(options, option, /[ \t]+/)
    for (i = 1; i <= m; i++) if (option[i] ~ /^signed-by=/) key = substr(option[i], 11)
    if (n >= 3) keep(word[2], word[3], key)
  }
  END { flush() }
' "${files[@]}" | awk '!seen[$0]++')
[ -n "$entries" ] || exit 1

# One stanza per URI and key, with the suites found for it.
awk -F '\t' '
  { group = $1 "\t" $3; if (!(group in suites)) order[++n] = group; suites[group] = suites[group] " " $2 }
  END {
    for (i = 1; i <= n; i++) {
      split(order[i], part, "\t")
      if (i > 1) print ""
      print "Types: deb-src"
      print "URIs: " part[1]
      print "Suites:" suites[order[i]]
      print "Components: main"
      if (part[2] != "") print "Signed-By: " part[2]
    }
  }
' <<<"$entries"
