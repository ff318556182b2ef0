# Shared by the packaging checks.
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The Debian tool a check needs, or a message saying which package brings it.
need() {
  command -v "$1" >/dev/null || fail "$1 is missing: apt-get install $2"
}

app_id=com.korvanex.Tabulon
