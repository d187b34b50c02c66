#!/usr/bin/env bash
# The shared library's binary interface against the baseline stored for its SONAME
# (abi/<SONAME>.abi, written by abidw).
#   abi/abi.sh check  [LIBRARY]           fails on a change that breaks programs built against
#                                         the baseline; reports compatible changes
#   abi/abi.sh update [--force] [LIBRARY] writes the baseline from LIBRARY, on purpose
# LIBRARY defaults to build/libcognexa.so (RelWithDebInfo: the debug information describes the
# types). A break needs a new SONAME (the project's major version) and its own baseline;
# --force overwrites the baseline of an unchanged SONAME after a break, which is right only
# before that SONAME was ever released.
set -euo pipefail
repository=$(cd "$(dirname "$0")/.." && pwd)
headers=$repository/include

usage() { echo "usage: $0 check [LIBRARY] | update [--force] [LIBRARY]" >&2; exit 2; }
command=${1:-}; shift || true
force=false
if [ "${1:-}" = --force ]; then force=true; shift; fi
library=$(readlink -f "${1:-$repository/build/libcognexa.so}")
[ -f "$library" ] || { echo "abi.sh: no library at $library; build it first" >&2; exit 1; }
soname=$(objdump -p "$library" | awk '$1 == "SONAME" { print $2 }')
[ -n "$soname" ] || { echo "abi.sh: $library has no SONAME" >&2; exit 1; }
baseline=$repository/abi/$soname.abi

# Only what the public headers declare and the library exports, without paths or line numbers,
# so the baseline is the same from any checkout.
write_abi() {
  abidw --headers-dir "$headers" --drop-private-types --exported-interfaces-only --no-corpus-path \
        --no-comp-dir-path --no-show-locs --no-parameter-names --type-id-style hash --out-file "$1" "$library"
}

# Compares the library with the baseline, each as abidw describes it, and sets verdict: same,
# compatible (only additions), incompatible or error. abidiff's status is a bit set (1 error,
# 2 usage, 4 a change, 8 a symbol removed); a changed type of an existing function, such as a
# class that grew a member, is only "a change" to it, so any changed or removed function or
# variable in its summary counts as incompatible.
compare() {
  local current status=0
  current=$(mktemp)
  write_abi "$current"
  report=$(abidiff --no-show-locs "$baseline" "$current") || status=$?
  rm -f "$current"
  if (( status & 3 )); then
    verdict=error
  elif (( status & 8 )) || grep -Eq '(^|[^0-9])[1-9][0-9]* (Removed|Changed)' <<<"$report"; then
    verdict=incompatible
  elif (( status & 4 )); then
    verdict=compatible
  else
    verdict=same
  fi
}

case "$command" in
  check)
    if [ ! -f "$baseline" ]; then
      echo "abi.sh: no baseline for $soname; a new SONAME needs one: abi/abi.sh update" >&2
      exit 1
    fi
    compare
    case $verdict in
      error)
        echo "$report" >&2
        echo "abi.sh: abidiff could not compare $library with $baseline" >&2
        exit 1 ;;
      incompatible)
        echo "$report" >&2
        echo "abi.sh: $soname: the change above breaks programs built against it. Undo it, or raise the" >&2
        echo "project's major version (the SONAME) and write the new baseline: abi/abi.sh update" >&2
        exit 1 ;;
      compatible)
        echo "$report"
        echo "abi.sh: $soname: compatible additions (above); record them with abi/abi.sh update" ;;
      same)
        echo "abi.sh: $soname matches its baseline" ;;
    esac
    ;;
  update)
    if [ -f "$baseline" ] && ! $force; then
      compare
      if [ "$verdict" = incompatible ]; then
        echo "$report" >&2
        echo "abi.sh: $soname: this change breaks programs built against the baseline; raise the SONAME" >&2
        echo "(the project's major version) instead, or give --force if $soname was never released" >&2
        exit 1
      fi
    fi
    write_abi "$baseline"
    echo "abi.sh: wrote $baseline"
    ;;
  *) usage ;;
esac
