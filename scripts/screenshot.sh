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

# Inside the virtual server: start the window, wait until it can be grabbed,
# give it a moment to paint, grab it without the screen around it.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    "$1" &
    window=$!
    trap "kill $window 2>/dev/null || true" EXIT
    for _ in $(seq 50); do
        if xwd -silent -name "TALVO EDID Utility" -out "$2" 2>/dev/null; then
            sleep 1
            xwd -silent -name "TALVO EDID Utility" -out "$2"
            exit 0
        fi
        sleep 0.2
    done
    echo "the window did not appear" >&2
    exit 1
' screenshot "$build/app/talvo-edid-utility" "$work/window.xwd"

save_png "$work/window.xwd" "$output"
echo "Saved $output ($(pngtopnm "$output" | head -c 20 | sed -n 2p) pixels)"
