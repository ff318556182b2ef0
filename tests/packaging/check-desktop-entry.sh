#!/usr/bin/env bash
# The installed desktop entry passes desktop-file-validate without a word.
# Usage: check-desktop-entry.sh TREE
source "$(dirname "$0")/common.sh"
need desktop-file-validate desktop-file-utils
entry=$1/usr/share/applications/$app_id.desktop
report=$(desktop-file-validate "$entry" 2>&1) || fail "$report"
[ -z "$report" ] || fail "$report"
echo "$entry is valid"
