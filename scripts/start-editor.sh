#!/usr/bin/env bash
# Starts the editor with one virtual amplifier beside it on this machine, so
# that there is something to find, connect to and edit without hardware.
#   scripts/start-editor.sh <Velmora> <velmora-ampsim>
# The virtual amplifier (a VN-880 named "Demo Amp") listens on 127.0.0.2 and
# announces itself to the editor on 127.0.0.1; nothing of it leaves the
# machine. Set VELMORA_SIMULATOR=0 to start the editor alone, for a real
# amplifier on the network or on USB.
set -euo pipefail
app=$1
sim=$2
simulator=""
if [ "${VELMORA_SIMULATOR:-1}" != "0" ]; then
    "$sim" --bind 127.0.0.2 --model "${VELMORA_SIMULATOR_MODEL:-1}" --name "Demo Amp" \
        --announce 127.0.0.1 </dev/null &
    simulator=$!
    trap 'kill "$simulator" 2>/dev/null || true' EXIT
fi
"$app"
