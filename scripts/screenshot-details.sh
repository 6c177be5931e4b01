#!/usr/bin/env bash
# Takes the screenshot of the Table details window that the README shows: a
# real CTA-861 table from tests/data/edid in a simulated unit in CUSTOM mode,
# read into the window, the details window opened from the Table menu, in a
# virtual X server; saved as a PNG (docs/table-details.png unless a path is
# given). Run scripts/setup.sh first.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TALVO_BUILD_DIR:-$root/build}"
output=$(realpath -m "${1:-$root/docs/table-details.png}")
unit_table="$root/tests/data/edid/Digital_DENON_DON004C_8270BDA0552D.bin"

"$root/scripts/install-missing.sh" x11-apps netpbm xdotool

# shellcheck source=scripts/screenshot-common.sh
source "$root/scripts/screenshot-common.sh"

# Inside the virtual server, without a window manager, the main window sits
# at the top left: click Read EDID, open Table > Details... (the third menu),, select the
# product name in the tree, then grab the details window.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    "$1" &
    app=$!
    trap "kill $app 2>/dev/null || true" EXIT
    main=""
    for _ in $(seq 50); do
        main=$(xdotool search --name "^TALVO EDID Utility$" 2>/dev/null | head -1) && [ -n "$main" ] && break
        sleep 0.2
    done
    [ -n "$main" ] || { echo "the window did not appear" >&2; exit 1; }
    sleep 1
    xdotool mousemove --window "$main" 65 422 click 1
    sleep 2
    xdotool mousemove --window "$main" 98 10 click 1
    sleep 0.5
    xdotool key Down Return
    for _ in $(seq 50); do
        details=$(xdotool search --name "^Table details$" 2>/dev/null | head -1) && [ -n "$details" ] && break
        sleep 0.2
    done
    [ -n "$details" ] || { echo "the details window did not appear" >&2; exit 1; }
    xdotool windowmove "$details" 0 0
    sleep 1
    xwd -silent -id "$details" -out "$2"
' screenshot "$build/app/talvo-edid-utility" "$work/details.xwd"

save_png "$work/details.xwd" "$output"
echo "Saved $output"
