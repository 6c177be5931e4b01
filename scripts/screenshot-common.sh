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
