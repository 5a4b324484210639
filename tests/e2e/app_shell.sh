#!/usr/bin/env bash
# The application as a user starts it: one window titled "[not connected!]",
# a 912 x 516 content, minimise and close only; the address box shows its
# tooltip; a second start leaves one instance; the close button quits at once.
# Run inside tests/support/in-netns.sh and tests/support/in-xvfb.sh.
#   app_shell.sh <Velmora binary> <artifact dir>
set -euo pipefail
app=$1
artifacts=$2
mkdir -p "$artifacts"
export HOME=$(mktemp -d)   # a fresh user: no settings from earlier runs
fail() { echo "FAIL: $*" >&2; exit 1; }

"$app" & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

win=""
for _ in $(seq 1 100); do
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | tail -n 1 || true)
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || fail "no window appeared"

title=$(xdotool getwindowname "$win")
echo "title: '$title'"
# The panel names the connection in the title before the window first shows.
[ "$title" = "[not connected!]" ] || fail "unexpected title '$title'"

eval "$(xdotool getwindowgeometry --shell "$win")"
echo "window: ${WIDTH}x${HEIGHT} at $X,$Y"
pixel() { convert "$artifacts/app-start.png" -format "%[hex:p{$1,$2}]" info:; }
cx=$((X + 1)); cy=$((Y + 27))
# The first picture once the window has painted (a busy machine may take a
# moment).
for _ in $(seq 1 50); do
    import -window root "$artifacts/app-start.png"
    [ "$(pixel $((cx + 738)) $((cy + 300)))" = "333333" ] && break
    sleep 0.1
done
# The window's own frame: a 1-pixel border around the content and a 26-pixel
# title bar above it.
[ "$WIDTH" -eq $((912 + 2)) ] || fail "width $WIDTH"
[ "$HEIGHT" -eq $((516 + 2 + 26)) ] || fail "height $HEIGHT"

# Centred on the 1280 x 800 screen.
[ $(( (1280 - WIDTH) / 2 - X )) -le 1 ] && [ $(( X - (1280 - WIDTH) / 2 )) -le 1 ] || fail "not centred: x $X"

# The layout: the pages' tabs on the left, the column on the right, apart.
[ "$(pixel $((cx + 20)) $((cy + 24)))" != "000000" ] || fail "no tab at the top left"
[ "$(pixel $((cx + 731)) $((cy + 300)))" = "000000" ] || fail "tabs and column touch"
[ "$(pixel $((cx + 738)) $((cy + 300)))" = "333333" ] || fail "no column at the right: $(pixel $((cx + 738)) $((cy + 300)))"
[ "$(pixel $((cx + 908)) $((cy + 300)))" = "333333" ] || fail "the column is cut"

# A second start hands over and exits; one instance stays.
timeout 20 "$app"
[ "$(pgrep -c -x Velmora --ns $$ --nslist net)" -eq 1 ] || fail "more than one instance"
kill -0 "$pid" || fail "the first instance ended"

# The title bar holds two buttons, close at the right edge and minimise left
# of it (about 31 pixels apart). A third button would be drawn left of those;
# that stretch of the title bar must be plain.
spread=$(convert "$artifacts/app-start.png" -crop "40x18+$((X + WIDTH - 110))+$((Y + 4))" \
    -colorspace gray -format '%[fx:standard_deviation]' info:)
echo "title bar left of the buttons: deviation $spread"
awk -v s="$spread" 'BEGIN { exit !(s < 0.01) }' || fail "a third title bar button"
busy=$(convert "$artifacts/app-start.png" -crop "20x18+$((X + WIDTH - 58))+$((Y + 4))" \
    -colorspace gray -format '%[fx:standard_deviation]' info:)
awk -v s="$busy" 'BEGIN { exit !(s > 0.01) }' || fail "no minimise button"

# Resting the mouse on the Setup page's address box shows its tooltip just
# below the pointer (nothing else there changes on hovering).
tipX=$((cx + 8 + 205 + 50)); tipY=$((cy + 38 + 28 + 12))
area="300x70+$((tipX - 150))+$((tipY + 2))"
xdotool mousemove $((cx + 400)) $((cy + 480))
sleep 0.5
import -window root "$artifacts/app-no-tip.png"
xdotool mousemove "$tipX" "$tipY"
sleep 2
import -window root "$artifacts/app-tip.png"
for f in app-no-tip app-tip; do
    convert "$artifacts/$f.png" -crop "$area" +repage "$artifacts/$f-area.png"
done
changed=$(compare -metric AE "$artifacts/app-no-tip-area.png" "$artifacts/app-tip-area.png" null: 2>&1 || true)
echo "pixels changed below the pointer: $changed"
[ "${changed%% *}" -gt 300 ] 2>/dev/null || fail "no tooltip below the address box ($changed)"

# The close button quits at once.
xdotool mousemove $((X + WIDTH - 17)) $((Y + 14)) click 1
for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then fail "close did not quit"; fi
wait "$pid" || true
trap - EXIT
echo "1 passed, 0 failed"
