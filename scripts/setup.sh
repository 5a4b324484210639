#!/usr/bin/env bash
# Installs the Debian 12 packages that Velmora needs and that are missing.
#   scripts/setup.sh app    what building and running the editor needs
#   scripts/setup.sh test   that, plus what the tests need
# Nothing else on the machine is changed.
set -euo pipefail

build_packages=(
    cmake ninja-build g++ pkg-config
    juce-modules-source          # JUCE 7.0.5, found by CMake
    liboscpack-dev               # OSC encoding and decoding
    libhidapi-dev                # USB HID access
    libfreetype-dev libfontconfig1-dev libpng-dev libjpeg-dev
    libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev
    fonts-dejavu-core
    iproute2 util-linux          # the demo's private network namespace (start-editor.sh)
)
test_packages=(
    googletest libgtest-dev                # unit tests
    libbenchmark-dev                       # benchmarks in bench/
    clang libclang-rt-14-dev               # the OSC packet fuzzer (libFuzzer)
    xvfb x11-utils xdotool imagemagick openbox  # tests that start the window
    python3 python3-scipy                  # independent filter response check
    dpkg-dev file                          # the Debian package (dpkg-shlibdeps)
    desktop-file-utils                     # checking the menu entry
)

case "${1:-test}" in
    app) wanted=("${build_packages[@]}") ;;
    test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: $0 app|test" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
