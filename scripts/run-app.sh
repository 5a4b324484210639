#!/usr/bin/env bash
# Installs what is missing, builds Velmora and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh app
cmake -S . -B build -G Ninja -DVELMORA_BUILD_TESTS=OFF >/dev/null
cmake --build build --target Velmora
exec build/bin/Velmora
