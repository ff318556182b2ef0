#!/usr/bin/env bash
# The Debian package names its dependencies, maintainer, section and
# description, and holds the installed files under /usr.
# Usage: check-deb.sh BUILD_DIR SCRATCH VERSION MODULE_DIR (of the parts, under /usr)
source "$(dirname "$0")/common.sh"
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
need file file
build=$1 scratch=$2 version=$3 modules=$4

rm -rf "$scratch"
cpack --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch.log" 2>&1 || { cat "$scratch.log"; fail "cpack"; }
debs=("$scratch"/tabulon_"$version"_*.deb)
[ -f "${debs[0]}" ] || fail "no tabulon_${version}_*.deb in $scratch"
deb=${debs[0]}

info=$(dpkg-deb -I "$deb")
echo "$info"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tabulon ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ -n "$(field Section)" ] || fail "no Section"
[[ "$(field Maintainer)" =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ "$(field Description | wc -l)" -gt 2 ] || fail "the Description has no long text"
depends=$(field Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 libcurl4 xdg-utils; do
  [ "$(grep -o ", $package[ ,]" <<<", $depends," | wc -l)" = 1 ] || fail "Depends names $package other than once: $depends"
done

contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/tabulon ./usr/$modules/window.so ./usr/$modules/upload.so ./usr/$modules/collation.so ./usr/share/applications/$app_id.desktop \
    ./usr/share/metainfo/$app_id.metainfo.xml ./usr/share/man/man1/tabulon.1.gz \
    ./usr/share/icons/hicolor/scalable/apps/$app_id.svg ./usr/share/doc/tabulon/examples/example.cfg; do
  grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done
