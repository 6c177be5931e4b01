#!/usr/bin/env bash
# Installs what the build needs (Debian 12), then configures and builds into
# build/. Safe to run again: it installs only what is missing and rebuilds
# only what changed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TALVO_BUILD_DIR:-$root/build}"

packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-liberation xauth xvfb
    hwdata edid-decode libcli11-dev nlohmann-json3-dev libusb-1.0-0-dev umockdev libumockdev-dev
    xcvt)

"$root/scripts/install-missing.sh" "${packages[@]}"

cmake --preset native -S "$root" -B "$build"
cmake --build "$build"
