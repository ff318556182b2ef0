#!/usr/bin/env bash
# Installs, with apt-get, whichever of the given Debian packages are missing.
# Of the packages named, none is left running or enabled as a system
# service: the scripts want their programs, and the tests start the servers
# they use (sshd, vsftpd) themselves, on loopback ports of their own.
set -euo pipefail
missing=()
for pkg in "$@"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    here=$(cd "$(dirname "$0")" && pwd)
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Installing them needs root, and sudo is not installed. As root (su -), run:" >&2
    echo "  bash $(printf '%q' "$here/install-deps.sh") ${missing[*]}" >&2
    echo "then run this command again." >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"

# While the packages install, no service starts: invoke-rc.d and
# deb-systemd-invoke ask policy-rc.d first. A policy already in place is
# the machine's own and stays as it is.
policy=/usr/sbin/policy-rc.d
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\n# Tabulon'"'"'s install-deps.sh: no service starts while it installs.\nexit 101\n' |
    "${sudo[@]}" tee "$policy" >/dev/null
  "${sudo[@]}" chmod 755 "$policy"
  trap '"${sudo[@]}" rm -f "$policy"' EXIT
  trap 'exit 130' INT TERM HUP
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

# The services of the packages just installed are disabled, so that none
# starts with the machine, and stopped, should a policy of the machine's
# have let one start.
systemd=false
[ -d /run/systemd/system ] && systemd=true
quietly() { "${sudo[@]}" "$@" >/dev/null 2>&1 || true; }
servers=()
for pkg in "${missing[@]}"; do
  services=$(dpkg-query -L "$pkg" |
    grep -E '^/etc/init\.d/[^/]+$|^(/usr)?/lib/systemd/system/[^/@]+\.(service|socket)$' || true)
  [ -n "$services" ] || continue
  for path in $services; do
    name=${path##*/}
    case $path in
      /etc/init.d/*)
        if $systemd; then quietly systemctl stop "$name"; else quietly "$path" stop; fi
        quietly update-rc.d "$name" disable
        ;;
      *)
        if $systemd; then
          quietly systemctl disable --now "$name"
        elif command -v deb-systemd-helper >/dev/null; then
          quietly deb-systemd-helper disable "$name"
        fi
        ;;
    esac
  done
  servers+=("$pkg")
done
if [ ${#servers[@]} -gt 0 ]; then
  echo "The services of ${servers[*]} are left disabled and stopped: the tests start their own."
fi
