# What the end-to-end sessions share; sourced by them, not run.
#   session_begin <artifact dir>   fresh artifacts in $out and a fresh user
#   start_editor <Velmora>         starts the editor and finds its window:
#                                  $pid, and $cx, $cy, the main panel's corner
#   connect_first_amplifier        row 1 of the Setup page's device table,
#                                  "Connect" to the question, until synced

session_begin() {
    out=$1
    mkdir -p "$out"
    rm -f "$out"/*.png "$out"/*.log
    export HOME=$(mktemp -d)
}
fail() { echo "FAIL: $*" >&2; exit 1; }
wait_for() { # <description> <timeout s> <command...>
    local what=$1 limit=$2
    shift 2
    local end=$(( $(date +%s) + limit ))
    until "$@"; do
        [ "$(date +%s)" -lt "$end" ] || fail "timed out waiting for $what"
        sleep 0.05
    done
}
logged() { grep -q -- "$1" "$out/amp.log" 2>/dev/null; }

start_editor() {
    "$1" & pid=$!
    trap 'kill $pid 2>/dev/null || true' EXIT
    wait_for "the window" 10 bash -c "xdotool search --onlyvisible --pid $pid >/dev/null 2>&1"
    local win
    win=$(xdotool search --onlyvisible --pid "$pid" | tail -n 1)
    eval "$(xdotool getwindowgeometry --shell "$win")"
    # The main panel starts below the 26-pixel title bar and the 1-pixel border.
    cx=$((X + 1)); cy=$((Y + 27))
}
# A page's (x, y) on the screen: the tabs sit at (8, 8) in the panel, the
# page below their 30-pixel bar.
page() { xdotool mousemove $((cx + 8 + $1)) $((cy + 38 + $2)) click 1; sleep 0.2; }

connect_first_amplifier() {
    wait_for "the amplifier's announcement" 10 bash -c "grep -q ' /info ,' '$out/amp.log' 2>/dev/null"
    sleep 1
    xdotool mousemove $((cx + 8 + 100)) $((cy + 38 + 75 + 28 + 22 + 11)) click 1
    sleep 0.5
    xdotool key Return
    wait_for "the sync" 15 bash -c "[ \$(grep -c ' /preset/name ' '$out/amp.log') -ge 20 ]"
}
# Somewhere in the page's rectangle of a screenshot, a pixel of about that
# colour (each channel within 20).
has_colour() { # <png> <x> <y> <w> <h> <rrggbb>
    local hex=$6
    convert "$1" -crop "$4x$5+$((cx + 8 + $2))+$((cy + 38 + $3))" txt:- |
        awk -v r=$((16#${hex:0:2})) -v g=$((16#${hex:2:2})) -v b=$((16#${hex:4:2})) '
        NR > 1 { split(substr($2, 2, length($2) - 2), c, ",")
                 if ((c[1] - r) ^ 2 < 400 && (c[2] - g) ^ 2 < 400 && (c[3] - b) ^ 2 < 400) found = 1 }
        END { exit found ? 0 : 1 }'
}
near() { # <png> <what> <x> <y> <w> <h> <rrggbb>
    local png=$1 what=$2
    shift 2
    has_colour "$png" "$@" || fail "layout: no #$5 for $what at ($1, $2, $3 x $4)"
}
