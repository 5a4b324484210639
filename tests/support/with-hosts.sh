#!/usr/bin/env bash
# Runs a command on the "editor" host of a private network of namespaces:
#   with-hosts.sh [--bridges <b>] <n> <command> [args...]
# makes a private network and mount namespace for the editor (bridge br0,
# address 10.77.0.1/24, limited broadcast routed onto the bridge) and n more
# hosts h1..hn (10.77.0.11, 10.77.0.12, ...) joined to it by veth pairs.
# With --bridges b the editor has b bridges, br0..br<b-1> with 10.77.0.1/24,
# 10.78.0.1/24, ..., as a machine with b network cards; the hosts take turns:
# h1 on br0 (10.77.0.11), h2 on br1 (10.78.0.12), ... The limited broadcast
# still leaves through br0 only.
# Nothing can leave: the bridges have no way out of the namespaces.
# The command finds the hosts in VELMORA_HOSTS and VELMORA_HOST_ADDRS and runs
# programs on them with `ip netns exec <host> ...`.
set -euo pipefail
bridges=1
if [ "${1:-}" = "--bridges" ]; then
    bridges=$2
    shift 2
fi
if [ $# -lt 2 ] || ! [[ "$bridges" =~ ^[1-9]$ ]]; then
    echo "usage: $0 [--bridges <1-9>] <hosts> <command> [args...]" >&2
    exit 2
fi
if [ -z "${VELMORA_IN_HOSTS:-}" ]; then
    if [ "$(id -u)" -eq 0 ]; then flags=(-n -m); else flags=(-r -n -m); fi
    exec unshare "${flags[@]}" --propagation private -- env VELMORA_IN_HOSTS=1 "$0" \
        --bridges "$bridges" "$@"
fi

count=$1
shift
mkdir -p /run/netns
mount -t tmpfs velmora-netns /run/netns
# The editor's single-instance lock lives in /var/tmp: a private one keeps
# editors of other test runs out of sight.
mount -t tmpfs velmora-vartmp /var/tmp

ip link set lo up
for b in $(seq 0 $((bridges - 1))); do
    ip link add "br$b" type bridge
    ip link set "br$b" up
    ip addr add "10.$((77 + b)).0.1/24" brd + dev "br$b"
done
ip route add default dev br0

hosts=()
addrs=()
for i in $(seq 1 "$count"); do
    h="h$i"
    b=$(((i - 1) % bridges))
    a="10.$((77 + b)).0.$((10 + i))"
    ip netns add "$h"
    ip link add "v$i" type veth peer name e0 netns "$h"
    ip link set "v$i" master "br$b" up
    ip -n "$h" link set lo up
    ip -n "$h" addr add "$a/24" brd + dev e0
    ip -n "$h" link set e0 up
    ip -n "$h" route add default dev e0
    hosts+=("$h")
    addrs+=("$a")
done

child=""
cleanup() {
    [ -n "$child" ] && kill "$child" 2>/dev/null || true
    for h in "${hosts[@]}"; do
        for p in $(ip netns pids "$h" 2>/dev/null); do kill "$p" 2>/dev/null || true; done
    done
    sleep 0.2
    for h in "${hosts[@]}"; do
        for p in $(ip netns pids "$h" 2>/dev/null); do kill -9 "$p" 2>/dev/null || true; done
        ip netns del "$h" 2>/dev/null || true
    done
}
trap cleanup EXIT
# Stopped from outside, the hosts' programs go too.
trap 'exit 143' TERM INT HUP

export VELMORA_HOSTS="${hosts[*]}"
export VELMORA_HOST_ADDRS="${addrs[*]}"
export VELMORA_EDITOR_ADDR=10.77.0.1
set +e
"$@" <&0 &
child=$!
wait "$child"
status=$?
child=""
set -e
exit $status
