#!/usr/bin/env bash
# Each part exports its entry alone, and the program of itself only what the
# parts need, besides what the linker must export: its copies of libraries'
# data (NAME@VERSION) and names that a library it links defines too.
# Usage: check-exports.sh PROGRAM PART ENTRY [PART ENTRY ...]
source "$(dirname "$0")/common.sh"
need nm binutils
program=$1
shift
names() { nm -D "$@" --format=posix | cut -d' ' -f1 | LC_ALL=C sort -u; }
report() { c++filt | sed 's/^/  /'; }

imports=""
while [ $# -gt 0 ]; do
  exported=$(names --defined-only "$1")
  [ "$exported" = "$2" ] || fail "$1 should export $2 alone; it exports:"$'\n'"$(report <<<"$exported")"
  imports+=$(names --undefined-only "$1" | sed 's/@.*//')$'\n'
  shift 2
done
libraries=$(ldd "$program" | sed -n 's/.* => \(\/[^ ]*\) .*/\1/p')
[ -n "$libraries" ] || fail "ldd names no library of $program"
also_defined=$(for library in $libraries; do names --defined-only "$library"; done | sed 's/@.*//')
own=$(names --defined-only "$program" | grep -v @ || true)
extra=$(LC_ALL=C comm -23 <(echo "$own") <(printf '%s\n%s\n' "$imports" "$also_defined" | LC_ALL=C sort -u))
[ -z "$extra" ] || fail "$program exports what no part needs:"$'\n'"$(report <<<"$extra")"
echo "each part exports its entry alone; $program exports $(echo "$own" | wc -l) names, each needed or interposed"
