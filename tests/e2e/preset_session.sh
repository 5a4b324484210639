#!/usr/bin/env bash
# Preset files through the real file chooser with real keys: the editor under
# Xvfb with a window manager, on the editor host of a private network
# (tests/support/with-hosts.sh 1), a virtual VN-880 on the other host. While
# connected, the user loads a file written by hand (CRLF line ends, markers
# in lower case, wrong type tags, extra blanks): the amplifier receives all
# 39 blocks with the values the file means. The user then names the preset
# anew and saves it over the same name: the editor asks first; "Cancel"
# leaves the file alone, "Overwrite" replaces it.
#   preset_session.sh <Velmora> <velmora-ampsim> <artifact dir>
set -euo pipefail
app=$1
sim=$2
out=$3
. "$(dirname "$0")/session.sh"
session_begin "$out"
shot() { import -window root "$out/$1.png"; }

read -r h1 _ <<<"$VELMORA_HOSTS"
ip netns exec "$h1" "$sim" --model 1 --name "Presets" --log "$out/amp.log" </dev/null &
start_editor "$app"
connect_first_amplifier
sleep 0.5

# The hand-written file: the default preset's 39 blocks with some values
# changed, as a text editor on another desktop might keep it.
shows="$HOME/shows"
mkdir -p "$shows"
{
    printf 'Hand Written Show\r\n'
    printf '  begin_osc_data \r\n'
    printf '/ampmode i DUAL\r\n'
    for c in 1 2; do
        printf '/channel/%s/peq/1 sfff LS12 40.0 +0.0 1.0\r\n' $c
        printf '/channel/%s/peq/2 fff PEQ 100.0 -3.0 2.0\r\n' $c
        printf '/channel/%s/peq/3 sfff   PEQ   200.0   -6.5   1.0\r\n' $c
        printf '/channel/%s/peq/4 sfff PEQ 400.0 +0.0 1.0\r\n' $c
        printf '/channel/%s/peq/5 sfff PEQ 1k +0.0 1.0\r\n' $c
        printf '/channel/%s/peq/6 sfff PEQ 2k +0.0 1.0\r\n' $c
        printf '/channel/%s/peq/7 sfff PEQ 4k +0.0 1.0\r\n' $c
        printf '/channel/%s/peq/8 sfff HS12 10k +0.0 1.0\r\n' $c
        printf '/channel/%s/xover/hp sf OFF 30.01\r\n' $c
        printf '/channel/%s/xover/lp sf OFF 15k001\r\n' $c
        printf '/channel/%s/xover/gain s -4.5\r\n' $c
        for b in 1 2; do
            printf '/channel/%s/deq/%s/comp fff +0.0 -30.0 5.0\r\n' $c $b
            printf '/channel/%s/deq/%s/time ff 50.0 1000.0\r\n' $c $b
            printf '/channel/%s/deq/%s/filt sff BP 2k00 1.0\r\n' $c $b
        done
        printf '/channel/%s/delay ff %s.5 180\r\n' $c $c
        printf '/channel/%s/limiter fff 100 100.0 50.0\r\n' $c
    done
    printf 'End_Osc_Data\r\n'
} > "$shows/hand.vlp"
original=$(md5sum < "$shows/hand.vlp")

. "$(dirname "$0")/chooser.sh"
blocks_since() { # <log line> : distinct block addresses received after it
    tail -n +$(($1 + 1)) "$out/amp.log" | awk '$3 ~ /^\/(ampmode|channel\/)/ { print $3 }' | sort -u | wc -l
}

# 1. Load the hand-written file while connected.
before=$(wc -l < "$out/amp.log")
page 370 40
sleep 1
choose_file "Please select the preset you want to load..." "$shows/hand.vlp"
all_blocks() { [ "$(blocks_since "$before")" -ge 39 ]; }
wait_for "39 blocks after the load" 10 all_blocks
sleep 0.5
shot 1-loaded
[ "$(blocks_since "$before")" -eq 39 ] || fail "$(blocks_since "$before") blocks"
since() { tail -n +$((before + 1)) "$out/amp.log"; }
since | grep -q ' /ampmode ,s "DUAL"$' || fail "ampmode"
since | grep -q ' /channel/1/delay ,fi 1.5 180$' || fail "delay of channel 1"
since | grep -q ' /channel/2/delay ,fi 2.5 180$' || fail "delay of channel 2"
since | grep -q ' /channel/2/xover/gain ,f -4.5$' || fail "crossover gain"
since | grep -q ' /channel/1/peq/3 ,sfff "PEQ" 200 -6.5 1$' || fail "band 3"
since | grep -q ' /channel/1/peq/2 ,sfff "PEQ" 100 -3 2$' || fail "band 2 (wrong tags)"

# 2. A new preset name, saved under the same file name: asked first.
type_box() { page "$1" "$2"; xdotool key ctrl+a; xdotool type --delay 20 "$3"; sleep 0.1; }
type_box 485 142 "Late Show"
page 370 74
sleep 1
choose_file "Save as preset file..." "$shows/hand"
wait_for "the overwrite question" 5 bash -c "xdotool search --name 'File already exists' >/dev/null 2>&1"
sleep 0.3
shot 2-asked
xdotool key Escape
sleep 0.5
[ "$(md5sum < "$shows/hand.vlp")" = "$original" ] || fail "Cancel changed the file"
[ ! -e "$shows/hand" ] || fail "Cancel wrote a file without the extension"

page 370 74
sleep 1
choose_file "Save as preset file..." "$shows/hand"
wait_for "the overwrite question" 5 bash -c "xdotool search --name 'File already exists' >/dev/null 2>&1"
sleep 0.3
xdotool key Return
wait_for "the saved file" 5 bash -c "head -n 1 '$shows/hand.vlp' | grep -qx 'Late Show'"
shot 3-saved
[ "$(sed -n 2p "$shows/hand.vlp")" = "BEGIN_OSC_DATA" ] || fail "second line: $(sed -n 2p "$shows/hand.vlp")"
grep -qx '/channel/1/delay fi   1.50 180' "$shows/hand.vlp" || fail "delay line: $(grep delay "$shows/hand.vlp" | head -n 1)"
[ "$(wc -l < "$shows/hand.vlp")" -eq 41 ] || fail "$(wc -l < "$shows/hand.vlp") line feeds"
if grep -q $'\r' "$shows/hand.vlp"; then fail "carriage returns were kept"; fi
echo "1 passed, 0 failed"
