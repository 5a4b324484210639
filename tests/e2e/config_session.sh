#!/usr/bin/env bash
# The Configuration page with real clicks and keys on the real window: the
# editor under Xvfb with a window manager, on the editor host of a private
# network (tests/support/with-hosts.sh 1), a virtual VN-880 in Dual Mono on
# the other host. The user switches the mode to Stereo (answering the
# question), types a distance in the metres box and turns a limiter knob; the
# amplifier's log shows each message, and a screenshot of the page is kept.
#   config_session.sh <Velmora> <velmora-ampsim> <artifact dir>
set -euo pipefail
app=$1
sim=$2
out=$3
. "$(dirname "$0")/session.sh"
session_begin "$out"

read -r h1 _ <<<"$VELMORA_HOSTS"
ip netns exec "$h1" "$sim" --model 1 --name "Config" --set "/ampmode DUAL" \
    --log "$out/amp.log" </dev/null &
start_editor "$app"

connect_first_amplifier
sleep 0.5

# The Configuration tab, the first one.
xdotool mousemove $((cx + 8 + 50)) $((cy + 8 + 15)) click 1
sleep 0.5
import -window root "$out/1-dual.png"

# The page as laid out, at the positions of its layout table.
shot="$out/1-dual.png"
for m in 0 1 2 3 4; do near "$shot" "mode button $m" 22 $((24 + 26 * m + 8)) 4 8 333333; done
near "$shot" "Channel Link" 314 168 4 8 333333
near "$shot" "the mode group's outline" 2 60 5 20 5c5c5c
for c in 0 1; do
    dx=$((356 * c))
    near "$shot" "channel $c group's outline" $((2 + dx)) 300 5 20 5c5c5c
    near "$shot" "channel $c Phase" $((54 + dx)) 376 4 8 333333
    near "$shot" "channel $c delay knob" $((66 + dx)) 228 40 40 9f2f2f
    near "$shot" "channel $c threshold knob" $((228 + dx)) 228 48 60 fdbb30
    for y in 268 296 324; do near "$shot" "channel $c box at y $y" $((59 + dx)) $((y + 4)) 3 12 3f3f3f; done
    near "$shot" "channel $c volts box" $((227 + dx)) 300 3 12 3f3f3f
    near "$shot" "channel $c hold knob" $((188 + dx)) 392 48 60 9f2f2f
    near "$shot" "channel $c release knob" $((272 + dx)) 392 48 60 9f2f2f
done
# Nothing where the table puts nothing: left of the mode buttons.
near "$shot" "black left of the mode buttons" 10 40 6 60 000000

# "Stereo", and "Yes" to the question.
page $((20 + 40)) $((24 + 26 + 12))
sleep 0.5
import -window root "$out/2-question.png"
xdotool key Return
wait_for "the mode" 5 logged ' /ampmode ,s "STEREO"'

# 3.43 m in channel A's metres box: 10 ms.
page $((60 + 26)) $((296 + 10))
xdotool key ctrl+a
xdotool type --delay 20 "3.43"
xdotool key Return
wait_for "the delay" 5 logged ' /channel/1/delay ,fi 10 '

# Channel A's threshold knob, turned down by a drag.
knobX=$((cx + 8 + 228 + 24)); knobY=$((cy + 38 + 228 + 20))
xdotool mousemove "$knobX" "$knobY" mousedown 1
for d in 5 10 15 20 25 30; do xdotool mousemove "$knobX" $((knobY + d)); sleep 0.02; done
xdotool mouseup 1
wait_for "the limiter" 5 bash -c "grep ' /channel/1/limiter ,fff ' '$out/amp.log' | grep -qv ' /channel/1/limiter ,fff 80 '"
sleep 0.5
import -window root "$out/3-stereo.png"

grep -E ' /ampmode | /channel/1/delay | /channel/1/limiter ' "$out/amp.log" | grep -v ' ,$' | tail -n 5
# Channel B's controls are hidden in Stereo: where its knobs were, no red.
for x in $((66 + 356)) $((188 + 356)) $((272 + 356)); do
    ! has_colour "$out/3-stereo.png" "$x" 228 48 224 9f2f2f || fail "channel B still shown at x $x"
done
near "$out/3-stereo.png" "channel A's delay knob in Stereo" 66 228 40 40 9f2f2f
echo "1 passed, 0 failed"
