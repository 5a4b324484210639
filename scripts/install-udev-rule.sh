#!/usr/bin/env bash
# Gives the desktop user access to Vorn series and Zephyl line amplifiers on
# USB: installs resources/udev/70-velmora.rules and reloads udev. Needs root
# (uses sudo otherwise). Replug the amplifier afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo install -m 0644 resources/udev/70-velmora.rules /etc/udev/rules.d/70-velmora.rules
$sudo udevadm control --reload-rules
$sudo udevadm trigger --subsystem-match=usb --attr-match=idVendor=1209 || true
echo "Installed /etc/udev/rules.d/70-velmora.rules; replug the amplifier."
