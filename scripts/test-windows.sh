#!/usr/bin/env bash
# Cross-builds the Qt-free layers, the stand-in SiUSBXp.dll and the Windows
# test programs with mingw-w64 into build-mingw/, and runs the tests through
# Wine without a display. Installs the cross compilers and Wine when they are
# missing; when they cannot be installed, says that the Windows tests are
# skipped and succeeds.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-mingw"

packages=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 libcli11-dev nlohmann-json3-dev)

if ! "$root/scripts/install-missing.sh" --no-prompt "${packages[@]}"; then
    echo "Windows tests skipped: could not install ${packages[*]}"
    exit 0
fi

cmake --preset mingw-w64 -S "$root"
cmake --build --preset mingw-w64

# A Wine of its own inside the build tree, headless, without the Mono and
# Gecko installers that a new prefix would otherwise ask for.
export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

# Wine's server and its helper processes outlive the program they serve; left
# to the first test, they would keep CTest's output pipes open. Start them
# here, away from CTest, and stop them whatever the tests' outcome.
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineboot --init >/dev/null 2>&1

ctest --preset mingw-w64

# The zip for Windows users.
"$root/scripts/package-windows.sh"
