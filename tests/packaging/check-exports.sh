#!/usr/bin/env bash
# The boundary between the program and its parts: each part exports its
# entry and nothing else, and the program exports of itself only what the
# parts need of it. Besides, the linker exports from the program its copies
# of libraries' data (NAME@VERSION) and its definitions of names that a
# library it links defines too (operator new, the standard library's
# templates), so that one definition serves the whole process.
# Usage: check-exports.sh PROGRAM PART ENTRY [PART ENTRY ...]
source "$(dirname "$0")/common.sh"
need nm binutils
need ldd libc-bin
program=$1
shift

names() { nm -D "$@" --format=posix | cut -d' ' -f1 | LC_ALL=C sort -u; }
report() { c++filt | sed 's/^/  /'; }

imports=""
while [ $# -gt 0 ]; do
  part=$1 entry=$2
  shift 2
  exported=$(names --defined-only "$part")
  [ "$exported" = "$entry" ] ||
    fail "$part should export $entry alone; it exports:"$'\n'"$(report <<<"$exported")"
  imports+=$(names --undefined-only "$part" | sed 's/@.*//')$'\n'
done

libraries=$(ldd "$program" | sed -n 's/.* => \(\/[^ ]*\) .*/\1/p')
[ -n "$libraries" ] || fail "ldd names no library of $program"
# shellcheck disable=SC2086
also_defined=$(for library in $libraries; do names --defined-only "$library"; done | sed 's/@.*//')
own=$(names --defined-only "$program" | grep -v @ || true)
extra=$(LC_ALL=C comm -23 <(echo "$own") <(printf '%s\n%s\n' "$imports" "$also_defined" | LC_ALL=C sort -u))
[ -z "$extra" ] || fail "$program exports what no part needs:"$'\n'"$(report <<<"$extra")"
echo "each part exports its entry alone; $program exports $(echo "$own" | wc -l) symbols of its own," \
  "all needed by its parts or defined by its libraries too"
