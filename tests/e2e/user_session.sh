#!/usr/bin/env bash
# A user's first session, with the real editor under Xvfb on the editor host
# of a private network (tests/support/with-hosts.sh 2), two virtual
# amplifiers on the other hosts, and nothing but X input: clicks and keys at
# the places the pages' layout gives. Checked through the amplifiers' logs,
# the window title and screenshots (kept in the artifact folder).
#   user_session.sh <Velmora> <velmora-ampsim> <artifact dir>
set -euo pipefail
app=$1
sim=$2
out=$3
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.log
export HOME=$(mktemp -d)
fail() { echo "FAIL: $*" >&2; exit 1; }
shot() { import -window root "$out/$1.png"; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

read -r h1 h2 <<<"$VELMORA_HOSTS"
read -r vorn_ip zephyl_ip <<<"$VELMORA_HOST_ADDRS"
mkfifo "$out/vorn.ctl"
# The Zephyl line amplifier answers a little late, so the Vorn series one is
# listed first (row 1).
ip netns exec "$h1" "$sim" --model 1 --name "Stage L" --log "$out/vorn.log" <>"$out/vorn.ctl" &
ip netns exec "$h2" "$sim" --model 5 --name "Fill" --delay 300 --log "$out/zephyl.log" </dev/null &
sleep 0.3
vlog() { cat "$out/vorn.log" 2>/dev/null || true; }
count() { vlog | grep -c -- " $1 " || true; }
wait_for() { # <description> <timeout s> <command...>
    local what=$1 limit=$2
    shift 2
    local end=$(( $(date +%s) + limit ))
    until "$@"; do
        [ "$(date +%s)" -lt "$end" ] || fail "timed out waiting for $what"
        sleep 0.05
    done
}

"$app" & pid=$!
trap 'kill $pid 2>/dev/null || true; rm -f "$out/vorn.ctl"' EXIT
win=""
wait_for "the window" 10 bash -c "xdotool search --onlyvisible --pid $pid >/dev/null 2>&1"
win=$(xdotool search --onlyvisible --pid "$pid" | tail -n 1)
eval "$(xdotool getwindowgeometry --shell "$win")"
# The content (the main panel) starts below the 26-pixel title bar and the
# 1-pixel border; a page starts at (8, 38) in the panel.
cx=$((X + 1)); cy=$((Y + 27))
page() { xdotool mousemove $((cx + 8 + $1)) $((cy + 38 + $2)) click 1; sleep 0.15; }
panel_click() { xdotool mousemove $((cx + $1)) $((cy + $2)) click 1; sleep 0.15; }
type_into() { page "$1" "$2"; xdotool key ctrl+a; xdotool type --delay 20 "$3"; sleep 0.1; }
title() { xdotool getwindowname "$win"; }
# Row r of the device table (header 28 pixels, rows 22).
row_y() { echo $((75 + 28 + 22 * $1 + 11)); }
# Whether a strip of the screen shows anything but one flat colour.
busy() { # x y w h (screen)
    local s
    s=$(convert "$out/now.png" -crop "${3}x${4}+${1}+${2}" -colorspace gray -format '%[fx:standard_deviation]' info:)
    awk -v s="$s" 'BEGIN { exit !(s > 0.02) }'
}
row_has_text() { import -window root "$out/now.png"; busy $((cx + 8 + 15 + 30)) $((cy + 38 + $(row_y "$1") - 8)) 100 16; }

# 1. Both amplifiers appear in the device table.
wait_for "the startup discovery" 5 bash -c "grep -q ' /info ,' '$out/zephyl.log' 2>/dev/null && grep -q ' /info ,' '$out/vorn.log'"
sleep 1
wait_for "two rows" 5 row_has_text 2
row_has_text 1 || fail "no row 1"
[ "$(title)" = "[not connected!]" ] || fail "title at start: $(title)"
shot 1-start

# 2. Connect to the Vorn series amplifier.
page 100 "$(row_y 1)"
sleep 0.5
shot 2-question
start=$(now_ms)
xdotool key Return
wait_for "20 preset names" 10 bash -c "[ \$(grep -c ' /preset/name ' '$out/vorn.log') -ge 20 ]"
took=$(( $(now_ms) - start ))
echo "step 2: from answering Connect to the last preset name: ${took} ms"
echo "$took" > "$out/connect-ms.txt"
wait_for "the model in the title" 5 bash -c "[ \"\$(xdotool getwindowname $win)\" = '[Device: VN-880]' ]"
[ "$(count /online)" -eq 1 ] || fail "no /online"
# The online sequence, in order: /online, /gain, the 39 blocks, 20 names, /meter.
seq=$(vlog | awk '{print $3}' | grep -v '^/info$' | head -n 62 | tr '\n' ' ')
case "$seq" in
    "/online /gain /ampmode /channel/1/peq/1 "*"/channel/2/limiter /preset/name "*"/preset/name /meter ") ;;
    *) fail "online sequence: $seq" ;;
esac
sleep 1
shot 2-connected
import -window root "$out/now.png"
# The chosen row is amber now; a preset slot shows a name; the meters move;
# the Utility tab has come.
pixel() { convert "$out/now.png" -format "%[pixel:p{$1,$2}]" info:; }
rowpix=$(pixel $((cx + 8 + 15 + 5)) $((cy + 38 + $(row_y 1))))
echo "chosen row: $rowpix"
case "$rowpix" in *253,187,48*|*fdbb30*) ;; *) fail "row not amber: $rowpix" ;; esac
busy $((cx + 8 + 318 + 46)) $((cy + 38 + 202 + 24 + 4)) 90 12 || fail "slot 2 shows no name"
busy $((cx + 505)) $((cy + 8 + 6)) 40 18 || fail "no Utility tab"
meter_a() { convert "$out/now.png" -crop "14x105+$((cx + 784))+$((cy + 72 + 43))" -format '%[fx:mean]' info:; }
m1=$(meter_a)
moved=0
for _ in 1 2 3 4 5 6; do
    sleep 0.5
    import -window root "$out/now.png"
    m2=$(meter_a)
    if [ "$m1" != "$m2" ]; then moved=1; break; fi
done
echo "output meter A: $m1 then $m2"
[ "$moved" -eq 1 ] || fail "the meters stand still"

# 3. Recall slot 3; store a name into slot 4; rename; lock and unlock.
page $((318 + 10)) $((202 + 2 * 24 + 10))
page 370 134
wait_for "recall" 5 bash -c "grep -q ' /preset/load ,iis 3 0 \"Speech\"' '$out/vorn.log'"
type_into 485 142 "E2E Set"
page $((318 + 10)) $((202 + 3 * 24 + 10))
page 370 168
wait_for "store" 5 bash -c "grep -q ' /preset/save ,iis 4 [0-4] \"E2E Set\"' '$out/vorn.log'"
type_into 75 408 "Renamed"
page 190 408
wait_for "rename" 5 bash -c "grep -q ' /ampname ,s \"Renamed\"' '$out/vorn.log'"
type_into 120 442 "abcd"
page 270 442
wait_for "lock" 5 bash -c "grep -q ' /lock ,i 1684234849' '$out/vorn.log'"
page 195 442
wait_for "unlock" 5 bash -c "grep -q ' /unlock ,i 1684234849' '$out/vorn.log'"
shot 3-presets-name-lock

# 4. Save a preset file, then load it back: every block reaches the amplifier.
. "$(dirname "$0")/chooser.sh"
mkdir -p "$HOME/shows"
page 370 74
sleep 1
shot 4-save-chooser
choose_file "Save as preset file..." "$HOME/shows/e2e.vlp"
wait_for "the saved file" 5 test -f "$HOME/shows/e2e.vlp"
head -n 2 "$HOME/shows/e2e.vlp" | tr '\n' '|'; echo
before=$(vlog | wc -l)
page 370 40
sleep 1
shot 4-load-chooser
choose_file "Please select the preset you want to load..." "$HOME/shows/e2e.vlp"
wait_for "39 blocks after the load" 10 bash -c "[ \$(tail -n +$((before + 1)) '$out/vorn.log' | grep -c ' /channel/\| /ampmode ') -ge 39 ]"
shot 4-loaded

# 5. The amplifier goes silent: one "Network connection error!" box, the row
#    goes, the title says so.
echo silent > "$out/vorn.ctl"
sleep 0.3
page 190 408   # rename again: a message that is never answered
wait_for "the error box" 6 bash -c "xdotool search --name 'Network connection error!' >/dev/null 2>&1"
sleep 1.5
boxes=$(xdotool search --name 'Network connection error!' | wc -l)
shot 5-connection-lost
[ "$boxes" -eq 1 ] || fail "$boxes error boxes"
[ "$(title)" = "[not connected!]" ] || fail "title after the loss: $(title)"
xdotool key Return
sleep 0.5
row_has_text 2 && fail "the lost amplifier's row is still listed"
row_has_text 1 || fail "the other amplifier's row went too"
shot 6-after
echo "1 passed, 0 failed"
