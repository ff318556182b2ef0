#!/usr/bin/env bash
# The installed manual page renders without a warning and names the folder
# where the example was installed.
# Usage: check-manual-page.sh TREE
source "$(dirname "$0")/common.sh"
need man man-db
need groff groff-base
page=$(mktemp) && trap 'rm -f "$page"' EXIT
gzip -dc "$1/usr/share/man/man1/tabulon.1.gz" >"$page" || fail "the installed manual page is no gzip file"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) || fail "man: $warnings"
[ -z "$warnings" ] || fail "man: $warnings"
warnings=$(groff -ww -z -man "$page" 2>&1) || fail "groff: $warnings"
[ -z "$warnings" ] || fail "groff: $warnings"
grep -q '/usr/share/doc/tabulon/examples' "$page" || fail "the page does not name the installed example"
! grep -n '@[A-Z_]*@' "$page" || fail "the page holds unfilled fields"
echo "the installed manual page renders without warnings"
