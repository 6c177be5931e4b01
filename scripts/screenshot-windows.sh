#!/usr/bin/env bash
# Takes the screenshot of the Windows window that the README shows beside
# the Linux one: the window of the cross build (build-mingw/, with Qt for
# Windows; scripts/test-windows.sh builds it) under Wine, in a virtual X
# server, against a fresh simulated unit in CUSTOM mode through the stand-in
# SiUSBXp.dll, saved as a PNG (docs/screenshot-windows.png unless a path is
# given).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-mingw"
output=$(realpath -m "${1:-$root/docs/screenshot-windows.png}")

"$root/scripts/install-missing.sh" x11-apps netpbm xvfb xauth wine wine64
if [ ! -f "$build/app/talvo-edid-utility.exe" ]; then
    echo "no window in $build: build Qt for Windows (scripts/build-qt-windows.sh), then run scripts/test-windows.sh" >&2
    exit 1
fi

# shellcheck source=scripts/screenshot-common.sh
source "$root/scripts/screenshot-common.sh"

cmake --install "$build" --prefix "$work/windows" >/dev/null
cp "$build/sim/SiUSBXp.dll" "$work/windows/"
export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's desktop process keeps the display of the first program that starts
# it, so no Wine program runs before the window does on its virtual display:
# the state file's Windows name is its path on drive Z:, Wine's view of /.
SIUSBXP_SIM_STATE="Z:${SIUSBXP_SIM_STATE//\//\\}"
export SIUSBXP_SIM_STATE

grab_window "$work/window.xwd" 3 wine "$work/windows/talvo-edid-utility.exe"

save_png "$work/window.xwd" "$output"
echo "Saved $output ($(pngtopnm "$output" | head -c 20 | sed -n 2p) pixels)"
