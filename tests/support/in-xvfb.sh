#!/usr/bin/env bash
# Runs a command under a private Xvfb server and stops the server afterwards.
#   tests/support/in-xvfb.sh [--wm] <command> [args...]
# --wm also starts a window manager (openbox) in the session.
# The screen size can be set with VELMORA_XVFB_SCREEN (default 1280x800x24).
set -euo pipefail
wm=0
if [ "${1:-}" = "--wm" ]; then
    wm=1
    shift
fi
if [ $# -eq 0 ]; then
    echo "usage: $0 [--wm] <command> [args...]" >&2
    exit 2
fi

# The server picks a free display itself and tells us which, so parallel
# runs never race for one.
numberfile=$(mktemp)
Xvfb -displayfd 9 -screen 0 "${VELMORA_XVFB_SCREEN:-1280x800x24}" -nolisten tcp \
    9>"$numberfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
    [ -s "$numberfile" ] && break
    sleep 0.05
done
display=":$(tr -d '[:space:]' <"$numberfile")"
rm -f "$numberfile"
[ "$display" != ":" ] || { echo "Xvfb did not start" >&2; exit 1; }
wmpid=""
cleanup() {
    [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

export DISPLAY="$display"
for _ in $(seq 1 100); do
    if xdpyinfo >/dev/null 2>&1 || xdotool getdisplaygeometry >/dev/null 2>&1; then
        break
    fi
    sleep 0.05
done

if [ "$wm" -eq 1 ] && command -v openbox >/dev/null 2>&1; then
    openbox >/dev/null 2>&1 &
    wmpid=$!
    sleep 0.3
fi

set +e
"$@"
status=$?
set -e
exit $status
