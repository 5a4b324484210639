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
# Channel B's controls are hidden in Stereo; the page shows "Channel A+B".
pixel() { convert "$out/3-stereo.png" -format "%[hex:p{$1,$2}]" info:; }
[ "$(pixel $((cx + 8 + 500)) $((cy + 38 + 300)))" = "000000" ] || fail "channel B still shown"
echo "1 passed, 0 failed"
