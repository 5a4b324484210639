#!/usr/bin/env bash
# Runs a command inside a private network namespace with only loopback up, so
# that nothing it sends (the editor broadcasts "/info" at start-up) can leave
# this machine.
#   tests/support/in-netns.sh <command> [args...]
set -euo pipefail
if [ $# -eq 0 ]; then
    echo "usage: $0 <command> [args...]" >&2
    exit 2
fi
if [ "$(id -u)" -eq 0 ]; then
    flags=(-n)
else
    flags=(-r -n)
fi
exec unshare "${flags[@]}" -- bash -c 'ip link set lo up && exec "$@"' in-netns "$@"
