#!/usr/bin/env bash
# Runs the benchmarks of a build inside a private network namespace.
#   bench/run.sh [build dir] [benchmark args...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
shift || true
for b in "$build"/bench/*_bench; do
    echo "== $(basename "$b")"
    "$here/../tests/support/in-netns.sh" "$b" "$@"
done
