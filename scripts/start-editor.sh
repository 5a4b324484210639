#!/usr/bin/env bash
# Starts the editor with one virtual amplifier beside it, so that there is
# something to find, connect to and edit without hardware.
#   scripts/start-editor.sh <Velmora> <velmora-ampsim>
# The editor keeps UDP port 3456 to itself, as it does on a real network, so
# the virtual amplifier (a VN-880 named "Demo Amp") gets a host of its own: the
# two run on a small private network of namespaces (tests/support/with-hosts.sh,
# editor 10.77.0.1, amplifier 10.77.0.11) that has no way out of this
# machine; the window reaches the desktop through the display's socket file.
# Set VELMORA_SIMULATOR=0 to start the editor alone, for a real amplifier on
# the network or on USB.
set -euo pipefail
app=$1
sim=$2
top=$(cd "$(dirname "$0")/.." && pwd)

if [ "${VELMORA_SIMULATOR:-1}" = "0" ]; then
    exec "$app"
fi

if [ -z "${VELMORA_HOSTS:-}" ]; then
    if ! "$top/tests/support/with-hosts.sh" 1 true >/dev/null 2>&1; then
        echo "start-editor: this system does not allow private network namespaces;" >&2
        echo "start-editor: starting the editor alone (as with VELMORA_SIMULATOR=0)." >&2
        exec "$app"
    fi
    exec "$top/tests/support/with-hosts.sh" 1 "$0" "$@"
fi

read -r host _ <<<"$VELMORA_HOSTS"
read -r address _ <<<"$VELMORA_HOST_ADDRS"
ip netns exec "$host" "$sim" --bind "$address" --model "${VELMORA_SIMULATOR_MODEL:-1}" \
    --name "Demo Amp" --announce "$VELMORA_EDITOR_ADDR" </dev/null &
simulator=$!
editor=""
trap 'kill $editor $simulator 2>/dev/null || true' EXIT
trap 'exit 143' TERM INT HUP
"$app" &
editor=$!
wait "$editor"
