#!/usr/bin/env bash
# The Parametric EQ page with real mouse and keys on the real window: the
# editor under Xvfb with a window manager, on the editor host of a private
# network (tests/support/with-hosts.sh 1), a virtual VN-880 in Dual Mono on
# the other host. The user drags marker 5 along the graph, turns the gain
# knob of band 3, types a frequency for band 2 with Return and turns the
# wheel on its marker; the amplifier's log shows each band message, the page
# shows what the amplifier answered, and a screenshot with the curve is kept.
#   peq_session.sh <Velmora> <velmora-ampsim> <artifact dir>
set -euo pipefail
app=$1
sim=$2
out=$3
. "$(dirname "$0")/session.sh"
session_begin "$out"
logged() { grep -qE -- "$1" "$out/amp.log" 2>/dev/null; }
# The last message of one band the amplifier received: its four values.
last_band() { grep " $1 ,sfff " "$out/amp.log" | tail -n 1 | sed 's/.*,sfff //'; }

read -r h1 _ <<<"$VELMORA_HOSTS"
ip netns exec "$h1" "$sim" --model 1 --name "PEQ" --set "/ampmode DUAL" \
    --log "$out/amp.log" </dev/null &
start_editor "$app"
# A page's (x, y) on the screen: the tabs sit at (8, 8) in the panel, the
# page below their 30-pixel bar.
px() { echo $((cx + 8 + $1)); }
py() { echo $((cy + 38 + $1)); }
page() { xdotool mousemove "$(px "$1")" "$(py "$2")" click 1; sleep 0.2; }
# The channel tab's controls lie below the page's tab bar, 206 pixels down.
tab_y() { py $((206 + $1)); }

connect_first_amplifier
sleep 0.5

# The Parametric EQ tab, the third one.
xdotool mousemove $((cx + 8 + 240)) $((cy + 8 + 15)) click 1
sleep 0.5
import -window root "$out/1-page.png"

# Band 5 (PEQ, 1k20): its marker dragged 40 pixels to the right, a few
# pixels at a time, then 8 pixels down (the gain 2 dB lower).
mx=$(px $((50 + 391))); my=$(py $((10 + 3 + 6)))
xdotool mousemove "$mx" "$my" mousedown 1
for d in 4 8 12 16 20 24 28 32 36 40; do xdotool mousemove $((mx + d)) "$my"; sleep 0.03; done
for d in 2 4 6 8; do xdotool mousemove $((mx + 40)) $((my + d)); sleep 0.03; done
xdotool mouseup 1
wait_for "band 5" 5 logged ' /channel/1/peq/5 ,sfff "PEQ" '
sleep 0.5
read -r type5 freq5 gain5 qual5 <<<"$(last_band /channel/1/peq/5)"
echo "band 5 after the drag: $type5 $freq5 $gain5 $qual5"
# 40 pixels of 660 are 0.18 decades: about 1.8 kHz under the mouse.
awk -v f="$freq5" 'BEGIN { exit !(f > 1650 && f < 2000) }' || fail "band 5 at $freq5 Hz"
[ "$gain5" = "0" ] || fail "band 5 gain $gain5, expected 0 (2.0 - 2 dB)"

# Band 3's gain knob (1.5 dB) dragged up.
kx=$(px $((84 + 160 + 24))); ky=$(tab_y $((32 + 20)))
xdotool mousemove "$kx" "$ky" mousedown 1
for d in 5 10 15 20 25 30; do xdotool mousemove "$kx" $((ky - d)); sleep 0.03; done
xdotool mouseup 1
wait_for "band 3" 5 logged ' /channel/1/peq/3 ,sfff '
sleep 0.5
read -r type3 freq3 gain3 qual3 <<<"$(last_band /channel/1/peq/3)"
echo "band 3 after the knob: $type3 $freq3 $gain3 $qual3"
awk -v g="$gain3" 'BEGIN { exit !(g > 1.5 && g <= 15) }' || fail "band 3 gain $gain3"

# Band 2's frequency typed: 1000 and Return.
xdotool mousemove "$(px $((84 + 80 + 24)))" "$(tab_y $((140 + 10)))" click 1
sleep 0.2
xdotool key ctrl+a
xdotool type --delay 20 "1000"
xdotool key Return
wait_for "band 2" 5 logged ' /channel/1/peq/2 ,sfff "PEQ" (1000|999\.99[0-9]*) '
sleep 0.3

# The wheel up on band 2's marker, now at 1 kHz: Q 1.4 steps to 3.0.
xdotool mousemove "$(px $((50 + 374)))" "$(py 19)"
sleep 0.2
xdotool click 4
wait_for "band 2's quality" 5 logged ' /channel/1/peq/2 ,sfff "PEQ" [0-9.]+ -2 3$'
sleep 0.5
import -window root "$out/2-after.png"

grep -E ' /channel/1/peq/' "$out/amp.log" | grep -v ' ,$' | tail -n 8
# Nothing went to channel 2, and the amplifier's answers sent nothing back.
! logged ' /channel/2/peq/[0-9] ,sfff ' || fail "a channel B band was sent"
count=$(grep -c ' /channel/1/peq/' "$out/amp.log")
sleep 1
[ "$(grep -c ' /channel/1/peq/' "$out/amp.log")" = "$count" ] || fail "bands still being sent"
echo "1 passed, 0 failed"
