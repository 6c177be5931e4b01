#!/usr/bin/env bash
# Takes the screenshot that the README and the AppStream metainfo show: the
# window of the demo, against a fresh simulated unit in CUSTOM mode, in a
# virtual X server, saved as a PNG (docs/screenshot.png unless a path is
# given). Builds first, like the demo; installs the X tools it needs.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TALVO_BUILD_DIR:-$root/build}"
output=$(realpath -m "${1:-$root/docs/screenshot.png}")

"$root/scripts/install-missing.sh" x11-apps netpbm
"$root/scripts/setup.sh"

# shellcheck source=scripts/screenshot-common.sh
source "$root/scripts/screenshot-common.sh"

grab_window "$work/window.xwd" 1 "$build/app/talvo-edid-utility"

save_png "$work/window.xwd" "$output"
echo "Saved $output ($(pngtopnm "$output" | head -c 20 | sed -n 2p) pixels)"
