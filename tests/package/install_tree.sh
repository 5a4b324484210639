#!/usr/bin/env bash
# What `cmake --install` puts on the machine, file by file: the two programs,
# the udev rule, the menu entry and its icon at every size. The entry must
# pass desktop-file-validate and name a program and an icon that are
# installed; each PNG must be as large as its folder says.
#   install_tree.sh <build dir>
set -euo pipefail
build=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

cmake --install "$build" --prefix "$stage/usr" >/dev/null

sizes=(16 24 32 48 64 128 256)
expected=(
    usr/bin/Velmora
    usr/bin/velmora-ampsim
    usr/lib/udev/rules.d/70-velmora.rules
    usr/share/applications/velmora.desktop
    usr/share/icons/hicolor/scalable/apps/velmora.svg
)
for s in "${sizes[@]}"; do
    expected+=("usr/share/icons/hicolor/${s}x${s}/apps/velmora.png")
done
actual=$(cd "$stage" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
diff -u <(echo "$wanted") <(echo "$actual") || fail "the installed files differ (- wanted, + installed)"

for p in Velmora velmora-ampsim; do
    [ -x "$stage/usr/bin/$p" ] || fail "$p is not executable"
done

entry=$stage/usr/share/applications/velmora.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the menu entry"
key() { sed -n "s/^$1=//p" "$entry"; }
exec_name=$(key Exec | cut -d' ' -f1)
[ -x "$stage/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
icon=$(key Icon)
[ -f "$stage/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "Icon=$icon is not an installed icon"
key Categories | grep -q 'Audio;' || fail "not in the menu's audio tools"
[ -n "$(key StartupWMClass)" ] || fail "no StartupWMClass"

for s in "${sizes[@]}"; do
    png=$stage/usr/share/icons/hicolor/${s}x${s}/apps/velmora.png
    [ "$(file -b --mime-type "$png")" = image/png ] || fail "${s}x${s} is not a PNG"
    got=$(identify -format '%wx%h' "$png")
    [ "$got" = "${s}x${s}" ] || fail "the ${s}x${s} icon is $got"
    # A drawn picture, not an empty square: the amber mark must be there.
    colours=$(convert "$png" -alpha off -unique-colors -format '%k' info:)
    [ "$colours" -gt 2 ] || fail "the ${s}x${s} icon has $colours colours"
done
python3 -c 'import sys, xml.etree.ElementTree as t; r = t.parse(sys.argv[1]).getroot(); sys.exit(r.tag != "{http://www.w3.org/2000/svg}svg")' \
    "$stage/usr/share/icons/hicolor/scalable/apps/velmora.svg" || fail "the SVG icon is not an SVG document"
echo "installed tree, menu entry and icons as expected"
