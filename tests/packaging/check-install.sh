#!/usr/bin/env bash
# An install into a scratch tree under /usr holds exactly the program's
# files, the icons at their sizes, and the installed program makes the page
# of the installed example.
# Usage: check-install.sh BUILD_DIR TREE VERSION MODULE_DIR (of the parts, under /usr)
source "$(dirname "$0")/common.sh"
build=$1 tree=$2 version=$3 modules=$4

rm -rf "$tree"
DESTDIR="$tree" cmake --install "$build" --prefix /usr >/dev/null
cd "$tree"

expected="./usr/bin/tabulon
./usr/$modules/collation.so
./usr/$modules/upload.so
./usr/$modules/window.so
./usr/share/applications/$app_id.desktop
./usr/share/doc/tabulon/changelog.gz
./usr/share/doc/tabulon/copyright
./usr/share/doc/tabulon/examples/database.db
./usr/share/doc/tabulon/examples/end.htm
./usr/share/doc/tabulon/examples/example.cfg
./usr/share/doc/tabulon/examples/head.htm"
for size in 128 16 256 32 48 64; do
  expected+=$'\n'"./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
done
expected+="
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/man/man1/tabulon.1.gz
./usr/share/metainfo/$app_id.metainfo.xml"
installed=$(find . -type f | LC_ALL=C sort)
[ "$installed" = "$expected" ] ||
  fail "the install holds other files than expected:"$'\n'"$(diff <(echo "$expected") <(echo "$installed"))"

# A PNG's width and height are the two big-endian words after its header.
for size in 16 32 48 64 128 256; do
  png=usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
  width=$(( (w1 << 24) | (w2 << 16) | (w3 << 8) | w4 ))
  height=$(( (h1 << 24) | (h2 << 16) | (h3 << 8) | h4 ))
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x$height"
done

[ "$(usr/bin/tabulon --version)" = "tabulon $version" ] || fail "tabulon --version: $(usr/bin/tabulon --version)"

examples=usr/share/doc/tabulon/examples
usr/bin/tabulon --make-list "$examples/example.cfg" || fail "tabulon --make-list exited with $?"
grep -q 'Created with Tabulon' "$examples/list.htm" || fail "the page has no generator comment"
grep -q 'Miles Davis' "$examples/list.htm" || fail "the page lacks the example's items"
rm "$examples/list.htm"
echo "installed $(echo "$installed" | wc -l) files; the installed program made the example's page"
