#!/usr/bin/env bash
# Runs a command inside a private network namespace with only loopback up, so
# that nothing it sends (the editor broadcasts "/info" at start-up) can leave
# this machine. It also gets a private /var/tmp, where the editor keeps its
# single-instance lock: editors of two test runs never see each other.
#   tests/support/in-netns.sh <command> [args...]
set -euo pipefail
if [ $# -eq 0 ]; then
    echo "usage: $0 <command> [args...]" >&2
    exit 2
fi
if [ "$(id -u)" -eq 0 ]; then
    flags=(-n -m)
else
    flags=(-r -n -m)
fi
exec unshare "${flags[@]}" --propagation private -- \
    bash -c 'mount -t tmpfs velmora-vartmp /var/tmp && ip link set lo up && exec "$@"' in-netns "$@"
