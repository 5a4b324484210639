#!/usr/bin/env bash
# The Filter/Crossover page with real clicks, keys and the wheel on the real
# window: the editor under Xvfb with a window manager, on the editor host of
# a private network (tests/support/with-hosts.sh 1), a virtual VN-880 in
# Bi-Amp 1 on the other host. The user picks a family and a slope from the
# lists, drags a marker, steps a type with the wheel and switches "X-Over"
# on ("Yes" to the default crossover); the amplifier's log shows each block,
# and a screenshot of the page with both curves is kept.
#   xover_session.sh <Velmora> <velmora-ampsim> <artifact dir>
set -euo pipefail
app=$1
sim=$2
out=$3
. "$(dirname "$0")/session.sh"
session_begin "$out"
fail() { echo "FAIL: $*" >&2; import -window root "$out/failed.png" || true; exit 1; }

read -r h1 _ <<<"$VELMORA_HOSTS"
ip netns exec "$h1" "$sim" --model 1 --name "Xover" --set "/ampmode BIAMP1" \
    --set "/channel/1/xover/hp OFF 40.0" --set "/channel/1/xover/lp OFF 1k00" \
    --log "$out/amp.log" </dev/null &
start_editor "$app"
# A page's (x, y) on the screen: the tabs sit at (8, 8) in the panel, the
# page below their 30-pixel bar.
at() { xdotool mousemove $((cx + 8 + $1)) $((cy + 38 + $2)); }
page() { at "$1" "$2"; xdotool click 1; sleep 0.3; }

connect_first_amplifier
sleep 0.5

# The Filter/Crossover tab, the second one.
xdotool mousemove $((cx + 8 + ${XOVER_TAB_X:-160})) $((cy + 8 + 15)) click 1
sleep 0.5
import -window root "$out/1-page.png"

# Channel A's high-pass: "Butterworth" from the family list (the item after
# "OFF"; the open list starts on the shown item), then "24 dB" from the slope
# list (three below "6 dB").
page $((32 + 56)) $((384 + 10))
xdotool key Down Return
wait_for "the family" 5 logged ' /channel/1/xover/hp ,sf "BUT6"'
page $((33 + 56)) $((421 + 10))
xdotool key Down Down Down Return
wait_for "the slope" 5 logged ' /channel/1/xover/hp ,sf "BUT24"'

# The wheel on marker 2 (channel A's low-pass, 1 kHz): off to "BUT6".
mx=$((50 + 660 * 566 / 1000)); my=$((10 + 3 + 6))
at "$mx" "$my"; xdotool click 4; sleep 0.3
wait_for "the wheel" 5 logged ' /channel/1/xover/lp ,sf "BUT6"'

# Drag the marker 40 pixels to the right.
at "$mx" "$my"; xdotool mousedown 1
for d in 8 16 24 32 40; do at $((mx + d)) "$my"; sleep 0.05; done
xdotool mouseup 1
wait_for "the drag" 5 bash -c "grep ' /channel/1/xover/lp ,sf \"BUT6\" ' '$out/amp.log' | grep -qv ' 1000'"

# "X-Over", and "Yes" to the default crossover: both low-pass and high-pass
# of the split go out as "BUT6" at 632 Hz.
page $((316 + 44)) $((180 + 12))
sleep 0.5
import -window root "$out/2-question.png"
xdotool key Return
wait_for "the link" 5 logged ' /channel/2/xover/hp ,sf "BUT6" 632.456'
sleep 0.5
import -window root "$out/3-linked.png"

grep -E ' /channel/./xover/' "$out/amp.log" | grep -v ' ,$' | tail -n 8
# The tweeter's high-pass never went out as "OFF".
! grep -q ' /channel/2/xover/hp ,sf "OFF"' "$out/amp.log" || fail "high-pass sent as OFF"
echo "1 passed, 0 failed"
