#!/usr/bin/env bash
# Drives the window as a user would, on the X display in $DISPLAY, by mouse
# and keyboard (xdotool): waits for its start-up, switches to CUSTOM, reads
# the unit's table, loads a table file, verifies its checksums, writes it to
# the unit, saves it to a file, and closes the window. The same steps serve
# the Linux window and the Windows window under Wine, so that their requests
# to the bridge library can be compared.
#
#   drive-window.sh LOG LOAD_NAME SAVE_NAME -- PROGRAM [ARGUMENT...]
#
# LOG is the stand-in bridge library's call log (SIUSBXP_SIM_CALLS): the
# script waits on it to see each step done. LOAD_NAME and SAVE_NAME are the
# file names as the program's file dialog takes them (a Windows path under
# Wine). The log of the start-up alone is copied to LOG.startup.
set -euo pipefail

log=$1 load_name=$2 save_name=$3
shift 4

# The form's rectangles, each control's centre in window coordinates: the
# menu bar (21 pixels) sits above the central widget.
readonly menu_bar=21
at() { echo "$(($1 + $3 / 2)) $((menu_bar + $2 + $4 / 2))"; }
read -r custom_x custom_y < <(at 20 70 221 17)
read -r read_x read_y < <(at 15 390 101 23)
read -r verify_x verify_y < <(at 135 390 111 23)
read -r write_x write_y < <(at 265 390 101 23)
read -r load_x load_y < <(at 15 425 101 23)
read -r save_x save_y < <(at 135 425 111 23)
read -r close_x close_y < <(at 265 425 101 23)

lines() { if [ -f "$log" ]; then wc -l <"$log"; else echo 0; fi; }

# Waits until the log has stopped growing for a second: the step's requests
# are all made (the unit's own waits are shorter than that).
settle() {
    local before after
    after=$(lines)
    for _ in $(seq 120); do
        before=$after
        sleep 1
        after=$(lines)
        [ "$after" != "$before" ] || [ "$after" = 0 ] || return 0
    done
    echo "the window kept talking to the unit for two minutes" >&2
    return 1
}

click() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
    sleep 0.3
    settle
}

# A dialog is any visible window other than the main one.
dialog() {
    for _ in $(seq 100); do
        for candidate in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
            if [ "$candidate" != "$window" ]; then
                echo "$candidate"
                return 0
            fi
        done
        sleep 0.2
    done
    echo "no dialog appeared" >&2
    return 1
}

# Types a file name into the file dialog that the last click opened.
answer_file_dialog() {
    local box
    box=$(dialog)
    sleep 1
    xdotool windowfocus --sync "$box"
    # The name field may hold a proposed name, which Wine's dialog leaves
    # unselected; select it for the typed name to replace it (its edit field
    # knows no Ctrl+A, both know Shift+Home).
    xdotool key End shift+Home
    xdotool type --delay 20 "$1"
    xdotool key Return
    sleep 1
    settle
}

"$@" &
program=$!
trap 'kill "$program" 2>/dev/null || true' EXIT

if ! window=$(timeout 120 xdotool search --sync --onlyvisible --name '^TALVO EDID Utility$'); then
    echo "the window did not appear within two minutes" >&2
    exit 1
fi
window=$(head -n 1 <<<"$window")
settle
cp "$log" "$log.startup"

click "$custom_x" "$custom_y"
click "$read_x" "$read_y"
xdotool mousemove --window "$window" "$load_x" "$load_y" click 1
answer_file_dialog "$load_name"
click "$verify_x" "$verify_y"
click "$write_x" "$write_y"
xdotool mousemove --window "$window" "$save_x" "$save_y" click 1
answer_file_dialog "$save_name"
xdotool mousemove --window "$window" "$close_x" "$close_y" click 1

for _ in $(seq 50); do
    if ! kill -0 "$program" 2>/dev/null; then
        trap - EXIT
        wait "$program" || true
        exit 0
    fi
    sleep 0.2
done
echo "the window did not close" >&2
exit 1
