#!/usr/bin/env bash
# Checks that each shared library exports only its documented names.
#
#   check_exported_symbols.sh LISTS LIBRARY...
#
# For each LIBRARY (a file libNAME.so...), reads LISTS/libNAME.txt (extended regular
# expressions, one per line, each matching a whole demangled name; blank lines and lines
# starting with # left out) and lists every name `nm -D --defined-only -C` shows that no
# expression matches. Exits 1 when a library exports such a name or has no list, else 0.
set -euo pipefail

usage="usage: check_exported_symbols.sh LISTS LIBRARY..."
lists=${1:?$usage}
shift
[ $# -gt 0 ] || { echo "$usage" >&2; exit 2; }

status=0
for library in "$@"; do
  name=$(basename "$library")
  list="$lists/${name%%.so*}.txt"
  if [ ! -f "$list" ]; then
    echo "$name: no list of its exported names ($list)" >&2
    status=1
    continue
  fi
  pattern="^($(grep -v -E '^[[:space:]]*(#|$)' "$list" | paste -s -d '|'))$"
  # nm prints "VALUE TYPE NAME"; the name may hold blanks.
  names=$(nm -D --defined-only -C "$library" | cut -d ' ' -f 3-)
  count=$(printf '%s\n' "$names" | grep -c . || true)
  unexpected=$(printf '%s\n' "$names" | grep -v -E "$pattern" || true)
  if [ -n "$unexpected" ]; then
    echo "$name exports $(printf '%s\n' "$unexpected" | wc -l) of its $count names undocumented in $list:" >&2
    printf '  %s\n' "$unexpected" | head -n 40 >&2
    status=1
  else
    echo "$name: $count names, all documented"
  fi
done
exit "$status"
