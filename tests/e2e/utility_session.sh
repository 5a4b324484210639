#!/usr/bin/env bash
# The Utility page with real clicks on the real window: the editor under Xvfb
# with a window manager, on the editor host of a private network
# (tests/support/with-hosts.sh 1), a virtual VN-880 on the other host. The
# user switches the test tone on (answering the question), starts a sweep,
# lets it run a few steps and stops it; the amplifier's log shows the generator
# on, a run of frequencies moving by the rate's step, and nothing after the
# sweep was switched off. Screenshots of the page are kept.
#   utility_session.sh <Velmora> <velmora-ampsim> <artifact dir>
set -euo pipefail
app=$1
sim=$2
out=$3
. "$(dirname "$0")/session.sh"
session_begin "$out"
tones() { grep -c ' /siggen ,iff ' "$out/amp.log" || true; }

read -r h1 _ <<<"$VELMORA_HOSTS"
ip netns exec "$h1" "$sim" --model 1 --name "Utility" --log "$out/amp.log" </dev/null &
start_editor "$app"

connect_first_amplifier
wait_for "the generator's settings" 5 logged ' /siggen ,$'
sleep 0.5

# The Utility tab, the last one, comes with a Vorn series amplifier.
xdotool mousemove $((cx + 525)) $((cy + 8 + 15)) click 1
sleep 0.5
import -window root "$out/1-utility.png"

# "Test Tone", and "Yes" to the question: the sine at 1 kHz.
page $((520 + 46)) $((56 + 12))
windows() { [ "$(xdotool search --onlyvisible --pid "$pid" | wc -l)" -ge 2 ]; }
wait_for "the question" 5 windows
import -window root "$out/2-question.png"
xdotool key Return
wait_for "the test tone" 5 logged ' /siggen ,iff 1 '
on=$(tones)

# "Sweep" for a few steps, then off again.
page $((532 + 33)) $((408 + 12))
swept() { [ "$(tones)" -ge $((on + 8)) ]; }
wait_for "the sweep's steps" 5 swept
import -window root "$out/3-sweeping.png"
page $((532 + 33)) $((408 + 12))
sleep 0.3
stopped=$(tones)
sleep 0.6
[ "$(tones)" -eq "$stopped" ] || fail "the sweep went on after \"Sweep\" went off"

# The sweep's messages: the sine, the frequency going up from 1 kHz by the
# rate's step (5 s a pass: 6 of the 600 logarithmic steps each message; a
# message that was still queued when the next step came is replaced by it,
# so a busy machine may skip a step, never move by another amount).
grep ' /siggen ,iff ' "$out/amp.log" | tail -n +$((on + 1)) | head -n $((stopped - on)) \
    >"$out/sweep.log"
awk '
    { if ($5 != 1) { print "not the sine: " $0; bad = 1 }
      s = int(600 * log($7 / 20) / log(1000) + 0.5)
      if (n > 0 && ((s - last) <= 0 || (s - last) % 6 != 0)) { print "step " last " to " s; bad = 1 }
      last = s; n++ }
    END { print n " sweep messages, last step " last; if (n < 5) { print "too few"; bad = 1 }
          exit bad }' "$out/sweep.log" || fail "the sweep's frequencies"

# The page shows the generator on and the sweep off again.
import -window root "$out/4-stopped.png"
# "Test Tone" on shows its text grey, "Sweep" off amber.
near "$out/4-stopped.png" "Test Tone on" 520 56 92 24 a8a8a8
near "$out/4-stopped.png" "Sweep off" 532 408 66 24 fdbb30
echo "1 passed, 0 failed"
