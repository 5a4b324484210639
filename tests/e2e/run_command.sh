#!/usr/bin/env bash
# What the README's run command starts: the editor with a virtual amplifier
# in reach. Its row appears in the device table without typing anything.
# Run inside tests/support/in-netns.sh and tests/support/in-xvfb.sh.
#   run_command.sh <start-editor.sh> <Velmora> <velmora-ampsim> <artifact dir>
set -euo pipefail
start=$1
app=$2
sim=$3
out=$4
mkdir -p "$out"
export HOME=$(mktemp -d)
fail() { echo "FAIL: $*" >&2; exit 1; }

"$start" "$app" "$sim" & runner=$!
stop() {
    # The editor and the simulator end before the next test starts an editor.
    pkill -P "$runner" 2>/dev/null || true
    kill "$runner" 2>/dev/null || true
    wait "$runner" 2>/dev/null || true
}
trap stop EXIT
win=""
for _ in $(seq 1 100); do
    win=$(xdotool search --onlyvisible --name "not connected" 2>/dev/null | tail -n 1 || true)
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || fail "no editor window"
eval "$(xdotool getwindowgeometry --shell "$win")"
cx=$((X + 1)); cy=$((Y + 27))
# Row 1 of the device table: the virtual amplifier, once it has announced itself.
for _ in $(seq 1 40); do
    import -window root "$out/run-command.png"
    s=$(convert "$out/run-command.png" -crop "100x16+$((cx + 8 + 15 + 30))+$((cy + 38 + 75 + 28 + 22 + 3))" \
        -colorspace gray -format '%[fx:standard_deviation]' info:)
    if awk -v s="$s" 'BEGIN { exit !(s > 0.02) }'; then
        echo "the virtual amplifier is listed"
        echo "1 passed, 0 failed"
        exit 0
    fi
    sleep 0.25
done
fail "the virtual amplifier never appeared"
