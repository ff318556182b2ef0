#!/usr/bin/env bash
# lintian finds no error and no warning in the package that packaging_deb made.
# Usage: check-lintian.sh SCRATCH VERSION
source "$(dirname "$0")/common.sh"
command -v lintian >/dev/null || { echo "skipped: lintian is missing: apt-get install lintian"; exit 77; }
debs=("$1"/tabulon_"$2"_*.deb)
[ -f "${debs[0]}" ] || fail "no tabulon_$2_*.deb in $1"
lintian --fail-on error,warning "${debs[0]}" || fail "lintian reports the errors or warnings above"
