#!/usr/bin/env bash
# The Dynamic EQ page with real mouse and keys on the real window: the editor
# under Xvfb with a window manager, on the editor host of a private network
# (tests/support/with-hosts.sh 1), a virtual VN-880 in Dual Mono on the other
# host. The user drags band 1's marker down and then to the right, picks a
# ratio from band 1's ratio box and types its threshold; the amplifier's log
# shows the "comp" and "filt" blocks with the values set, and a screenshot of
# the page with its twelve curves is kept.
#   deq_session.sh <Velmora> <velmora-ampsim> <artifact dir>
set -euo pipefail
app=$1
sim=$2
out=$3
. "$(dirname "$0")/session.sh"
session_begin "$out"
fail() { echo "FAIL: $*" >&2; import -window root "$out/failed.png" || true; exit 1; }
logged() { grep -qE -- "$1" "$out/amp.log" 2>/dev/null; }
# The last message of one block the amplifier received: its values.
last_of() { grep " $1 ,$2 " "$out/amp.log" | tail -n 1 | sed "s/.*,$2 //"; }

# Band 1 of channel A: -4 dB at -24 dB, 1:3, band-pass at 80 Hz, Q 1.4.
read -r h1 _ <<<"$VELMORA_HOSTS"
ip netns exec "$h1" "$sim" --model 1 --name "DEQ" --set "/ampmode DUAL" \
    --set "/channel/1/deq/1/comp -4.0 -24.0 3.0" --set "/channel/1/deq/1/filt BP 80.0 1.4" \
    --log "$out/amp.log" </dev/null &
start_editor "$app"
# A page's (x, y) on the screen: the tabs sit at (8, 8) in the panel, the
# page below their 30-pixel bar; the channel tab's controls start 206 pixels
# down the page.
px() { echo $((cx + 8 + $1)); }
py() { echo $((cy + 38 + $1)); }
page() { xdotool mousemove "$(px "$1")" "$(py "$2")" click 1; }
tab() { page "$1" $((206 + $2)); }

connect_first_amplifier

# One pixel of the screen, as hex.
pixel() { import -window root png:- | convert - -format "%[hex:p{$1,$2}]" info:; }
# The Dynamic EQ page is on show once band 1's frame is drawn.
shows_deq() { [ "$(pixel "$(px 7)" "$(py 307)")" = "5C5C5C" ]; }
# The editor's windows on show (an open list is one more).
windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }
more_windows_than() { [ "$(windows)" -gt "$1" ]; }
# The level curves crossing one pixel column of a screenshot: runs of amber.
curves_at() {
    convert "$1" -crop "1x150+$2+$(py 10)" +repage -depth 8 txt:- |
        awk -F'[(),]+' 'NR > 1 { a = ($3 > 120 && $5 < 100 && $3 > $4); if (a && !p) n++; p = a }
                        END { print n + 0 }'
}

# The Dynamic EQ tab, the fourth one.
xdotool mousemove $((cx + 8 + 345)) $((cy + 8 + 15)) click 1
wait_for "the Dynamic EQ page" 5 shows_deq
import -window root "$out/1-page.png"

# Band 1's marker (80 Hz: 64 pixels into the left graph) dragged 8 pixels
# down, half a decibel a pixel, then 20 pixels to the right.
mx=$(px $((32 + 64))); my=$(py $((10 + 3 + 6)))
xdotool mousemove "$mx" "$my" mousedown 1
for d in 2 4 6 8; do xdotool mousemove "$mx" $((my + d)); sleep 0.03; done
for d in 4 8 12 16 20; do xdotool mousemove $((mx + d)) $((my + 8)); sleep 0.03; done
xdotool mouseup 1
wait_for "the gain" 5 logged ' /channel/1/deq/1/comp ,fff -8 -24 3$'
wait_for "the frequency" 5 logged ' /channel/1/deq/1/filt ,sff "BP" [0-9.]+ 1.4$'
read -r type freq qual <<<"$(last_of /channel/1/deq/1/filt sff)"
echo "band 1 after the drag: $type $freq $qual, $(last_of /channel/1/deq/1/comp fff)"
# 20 pixels of 320 are 0.19 decades: about 125 Hz under the mouse.
awk -v f="$freq" 'BEGIN { exit !(f > 100 && f < 160) }' || fail "band 1 at $freq Hz"

# "1:5.0" from the ratio box, one below "1:3.0".
before=$(windows)
tab $((240 + 32)) $((216 + 10))
wait_for "the ratio list" 5 more_windows_than "$before"
xdotool key Down Return
wait_for "the ratio" 5 logged ' /channel/1/deq/1/comp ,fff -8 -24 5$'

# -30 typed into the threshold's value box.
tab $((244 + 24)) $((40 + 50))
xdotool key ctrl+a
xdotool type --delay 20 -- "-30"
xdotool key Return
wait_for "the threshold" 5 logged ' /channel/1/deq/1/comp ,fff -8 -30 5$'

# The page shows the twelve curves, six in each graph (where band 1 and
# band 2's filters pass nothing: high above 80 Hz, low below 3 kHz).
wait_for "the page" 5 shows_deq
import -window root "$out/2-after.png"
left=$(curves_at "$out/2-after.png" "$(px $((32 + 300)))")
right=$(curves_at "$out/2-after.png" "$(px $((390 + 20)))")
echo "curves: $left left, $right right"
[ "$left" = 6 ] && [ "$right" = 6 ] || fail "$left and $right curves, expected 6 and 6"

grep -E ' /channel/./deq/' "$out/amp.log" | grep -v ' ,$' | tail -n 6
# Only band 1 of channel A went out.
! grep -v ' ,$' "$out/amp.log" | grep -E ' /channel/(2/deq|1/deq/2)/' || fail "another band was sent"
echo "1 passed, 0 failed"
