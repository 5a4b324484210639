#!/usr/bin/env bash
# The dock groups the running editor under its menu entry only when the
# window's WM_CLASS equals the entry's StartupWMClass; and the title bar must
# show the icon the menu shows.
# Run inside tests/support/in-netns.sh and tests/support/in-xvfb.sh.
#   window_class.sh <Velmora binary> <velmora.desktop> <32x32 icon PNG> <artifact dir>
set -euo pipefail
app=$1
entry=$2
icon=$3
. "$(dirname "$0")/../e2e/session.sh"
session_begin "$4"
start_editor "$app"
win=$(xdotool search --onlyvisible --pid "$pid" | tail -n 1)

wanted=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$wanted" ] || fail "the menu entry has no StartupWMClass"
line=$(xprop -id "$win" WM_CLASS)
echo "$line"
instance=$(echo "$line" | sed -n 's/^WM_CLASS(STRING) = "\(.*\)", "\(.*\)"$/\1/p')
class=$(echo "$line" | sed -n 's/^WM_CLASS(STRING) = "\(.*\)", "\(.*\)"$/\2/p')
[ "$class" = "$wanted" ] || fail "window class '$class', StartupWMClass '$wanted'"
[ "$instance" = "$wanted" ] || fail "window instance '$instance', StartupWMClass '$wanted'"

# _NET_WM_ICON holds width, height, then one ARGB number per pixel (not
# premultiplied), as does the PNG.
icon_numbers() { xprop -id "$win" -notype -f _NET_WM_ICON 32c ' = $0+\n' _NET_WM_ICON; }
wait_for "the window icon" 5 bash -c "$(declare -f icon_numbers); win=$win; icon_numbers | grep -q ' = 32, 32, '"
icon_numbers | sed 's/^[^=]*= //' | tr -d ' ' | tr ',' '\n' >"$out/title-icon.txt"
convert "$icon" -depth 8 rgba:- | od -An -v -tu1 -w4 >"$out/menu-icon.txt"
awk 'NR == FNR { if (FNR > 2) { title[FNR - 2] = $1; t++ }; next }
     { n++; v = title[n]; a = int(v / 16777216); r = int(v / 65536) % 256; g = int(v / 256) % 256; b = v % 256
       # One drawing in both; only the rounding of soft edges may differ, and
       # the colour of nearly transparent pixels means little.
       d = (a - $4) ^ 2
       if (a > 64 && $4 > 64) d += (r - $1) ^ 2 + (g - $2) ^ 2 + (b - $3) ^ 2
       if (d > 48) bad++ }
     END { if (n != 1024 || t != 1024) { print "pixels: " n ", " t; exit 1 }
           if (bad > 0) { print bad " pixels differ"; exit 1 } }' "$out/title-icon.txt" "$out/menu-icon.txt" \
    || fail "the title bar's icon is not the installed 32x32 icon"
echo "window class '$class' matches the menu entry; title-bar icon matches"
