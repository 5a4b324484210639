#!/usr/bin/env bash
# Installs what is missing, builds Velmora and its amplifier simulator, and
# starts the editor with a virtual amplifier beside it (scripts/start-editor.sh;
# VELMORA_SIMULATOR=0 starts the editor alone).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh app
cmake -S . -B build-app -G Ninja -DVELMORA_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-app --target Velmora velmora-ampsim
exec scripts/start-editor.sh build-app/bin/Velmora build-app/bin/velmora-ampsim
