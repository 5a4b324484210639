#!/usr/bin/env bash
# Two virtual amplifiers on two hosts of a private network (started by
# tests/support/with-hosts.sh 2), and the communicator's test on the editor
# host.
#   two_amplifiers.sh <velmora-ampsim> <test binary> <log dir> [gtest filter]
set -euo pipefail
sim=$1
test=$2
logs=$3
filter=${4:-TwoHosts.*}
mkdir -p "$logs"
read -r h1 h2 <<<"$VELMORA_HOSTS"
rm -f "$logs/vorn.log" "$logs/zephyl.log"
ip netns exec "$h1" "$sim" --model 1 --name "Stage L" --log "$logs/vorn.log" </dev/null &
ip netns exec "$h2" "$sim" --model 5 --name "Fill" --log "$logs/zephyl.log" </dev/null &
sleep 0.3
VELMORA_SIM_LOGS="$logs" "$test" --gtest_filter="$filter"
