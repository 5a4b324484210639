#!/usr/bin/env bash
# A fast fader move against a busy amplifier: the real editor under Xvfb on
# the editor host of a private network (tests/support/with-hosts.sh 1), a
# virtual amplifier that answers every message 50 ms late, and real mouse
# input. The user grabs gain A, pulls it up quickly and back to where it was
# within a tenth of a second, and lets go: the amplifier must end at the
# value under the mouse at release, and the fader must show it. Several times
# in a row, from different places.
#   gain_drag.sh <Velmora> <velmora-ampsim> <artifact dir>
set -euo pipefail
app=$1
sim=$2
out=$3
. "$(dirname "$0")/session.sh"
session_begin "$out"

read -r h1 _ <<<"$VELMORA_HOSTS"
ip netns exec "$h1" "$sim" --model 1 --name "Busy" --delay 50 --log "$out/amp.log" </dev/null &
log() { cat "$out/amp.log" 2>/dev/null || true; }
start_editor "$app"

connect_first_amplifier
sleep 0.5

# Gain A: the fader left of the input meters, its value box below it.
faderX=$((cx + 745 + 8 + 11))
faderTop=$((cy + 248 + 24))
boxX=$((cx + 745 + 8 + 28)); boxY=$((cy + 248 + 174 + 11))
xdotool mousemove "$boxX" "$boxY" click 1
xdotool key ctrl+a
xdotool type --delay 20 -- "-32"
xdotool key Return
wait_for "gain A at -32" 5 bash -c "log() { cat '$out/amp.log'; }; log | grep ' /gain ,ffii -32 ' >/dev/null"

last_gain_a() { log | grep ' /gain ,ffii ' | tail -n 1 | awk '{print $5}'; }
settled() { # the amplifier's last "/gain" has stopped changing
    local a b
    a=$(log | grep -c ' /gain ')
    sleep 0.4
    b=$(log | grep -c ' /gain ')
    [ "$a" -eq "$b" ]
}

passes=0
for start in 60 85 110; do
    y=$((faderTop + start))
    # Grab the fader at this height; the value there is what the user holds.
    xdotool mousemove "$faderX" "$y" mousedown 1
    wait_for "the grab to settle" 5 settled
    held=$(last_gain_a)
    sent_before=$(log | grep -c ' /gain ')
    # Up by about 24 dB and back, in about a tenth of a second.
    for d in 8 16 24 32 40 48 56 48 40 32 24 16 8 0; do
        xdotool mousemove "$faderX" $((y - d))
    done
    xdotool mouseup 1
    wait_for "the amplifier to settle" 10 settled
    final=$(last_gain_a)
    moves=$(( $(log | grep -c ' /gain ') - sent_before ))
    echo "from ${start} px: held $held, the amplifier ends at $final after $moves gain messages"
    [ "$moves" -ge 2 ] || fail "the drag sent only $moves gain messages"
    [ "$final" = "$held" ] || fail "the amplifier ends at $final, the fader was let go at $held"
    # The fader's box shows the amplifier's answer.
    import -window root "$out/drag-$start.png"
    passes=$((passes + 1))
done
echo "$passes drags ended where the mouse let go"
echo "1 passed, 0 failed"
