#!/usr/bin/env bash
# scripts/install-deps.sh, run by a user who has no sudo, says what to run
# as root instead, rather than failing on a missing command.
# Usage: check-install-deps.sh SOURCE_DIR
source "$(dirname "$0")/common.sh"
[ "$(id -u)" = 0 ] || { echo "skipped: only root can run the script as a user without sudo"; exit 77; }
need setpriv util-linux
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch" && mkdir "$scratch/bin" && cp "$1/scripts/install-deps.sh" "$scratch/"
# The commands the script runs, without sudo.
for tool in bash dpkg-query grep id dirname; do ln -s "$(command -v $tool)" "$scratch/bin/"; done
status=0
said=$(cd / && setpriv --reuid=65534 --regid=65534 --clear-groups env PATH="$scratch/bin" \
  bash "$scratch/install-deps.sh" tabulon-no-such-package 2>&1) || status=$?
[ "$status" = 1 ] || fail "exit status $status, not 1:"$'\n'"$said"
grep -qx "  bash $scratch/install-deps.sh tabulon-no-such-package" <<<"$said" ||
  fail "the script does not say what to run as root:"$'\n'"$said"
echo "$said"
