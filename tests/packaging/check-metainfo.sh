#!/usr/bin/env bash
# The installed metainfo is valid, fits the installed desktop entry and
# icon, and its release is the program's version.
# Usage: check-metainfo.sh TREE
source "$(dirname "$0")/common.sh"
need appstreamcli appstream
tree=$1
metainfo=$tree/usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
appstreamcli validate-tree --no-net --strict "$tree" || fail "appstreamcli validate-tree"
version=$("$tree/usr/bin/tabulon" --version)
grep -q "<release version=\"${version#tabulon }\" date=\"[0-9-]*\"" "$metainfo" ||
  fail "the metainfo's release is not $version"
