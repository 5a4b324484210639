#!/usr/bin/env bash
# Wake-ups per second of each thread of the running editor while it sits idle
# and unconnected, under Xvfb in a private network namespace. Our threads
# ("OSC connection", "UDP connection", "USB connection") are listed apart from
# the toolkit's (the message thread runs JUCE's display timer).
#   bench/idle_app.sh [Velmora binary] [seconds]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=${1:-$here/../build/bin/Velmora}
seconds=${2:-5}
inner=$(mktemp)
cat >"$inner" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
export HOME=$(mktemp -d)
"$1" & pid=$!
sleep 3
snapshot() {
    for t in /proc/$pid/task/*; do
        name=$(cat "$t/comm")
        v=$(awk '/^voluntary_ctxt_switches/ {a=$2} /^nonvoluntary_ctxt_switches/ {b=$2} END {print a+b}' "$t/status")
        echo "$(basename "$t")|$name|$v"
    done
}
snapshot >/tmp/idle.before
sleep "$2"
snapshot >/tmp/idle.after
kill $pid
join -t'|' /tmp/idle.before /tmp/idle.after | awk -F'|' -v s="$2" '
    { rate = ($5 - $3) / s; printf "%-18s %8.1f wake-ups/s\n", $2, rate
      if ($2 ~ /^(OSC|UDP|USB) connection$/) ours += rate; else toolkit += rate }
    END { printf "ours (OSC, UDP, USB connection): %.1f/s; toolkit and the rest: %.1f/s\n", ours, toolkit }'
INNER
chmod +x "$inner"
"$here/../tests/support/in-netns.sh" "$here/../tests/support/in-xvfb.sh" "$inner" "$app" "$seconds"
rm -f "$inner"
