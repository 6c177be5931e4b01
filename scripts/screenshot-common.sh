# Sourced by the screenshot scripts: a fresh simulated unit in CUSTOM mode
# (holding the table file $unit_table at the start-up address, when set) for
# the stand-in bridge library, and the conversion of an X window dump to PNG.
# Expects $build; leaves $work, removed on exit.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
    printf 'talvo-sim-state 1\nmode 3\n'
    if [ -n "${unit_table:-}" ]; then
        printf 'memory B0 %s\n' "$(od -An -v -tx1 "$unit_table" | tr -d ' \n' | tr a-f A-F)"
    fi
} >"$work/unit.state"

export LD_LIBRARY_PATH="$build/sim"
export SIUSBXP_SIM_STATE="$work/unit.state"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# save_png DUMP OUTPUT
save_png() {
    mkdir -p "$(dirname "$2")"
    xwdtopnm "$1" 2>/dev/null | pnmtopng -compression 9 >"$2"
}

# grab_window DUMP SETTLE_SECONDS PROGRAM [ARGUMENT...]: starts the program
# in a virtual X server, waits until its window can be grabbed, gives it
# SETTLE_SECONDS to paint, and grabs the window without the screen around it.
grab_window() {
    local dump=$1 settle=$2
    shift 2
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        set -euo pipefail
        dump=$1 settle=$2
        shift 2
        "$@" &
        window=$!
        trap "kill $window 2>/dev/null || true; wineserver -k 2>/dev/null || true" EXIT
        for _ in $(seq 150); do
            if xwd -silent -name "TALVO EDID Utility" -out "$dump" 2>/dev/null; then
                sleep "$settle"
                xwd -silent -name "TALVO EDID Utility" -out "$dump"
                exit 0
            fi
            sleep 0.2
        done
        echo "the window did not appear" >&2
        exit 1
    ' screenshot "$dump" "$settle" "$@"
}
