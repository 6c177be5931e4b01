#!/usr/bin/env bash
# The window built for Windows, proven under Wine on a virtual X display
# against the stand-in SiUSBXp.dll placed beside it, as a user would place
# the bridge maker's: the folder is the package's own (cmake --install of
# build-mingw/), so a DLL the package lacks fails here too. The same drive
# (scripts/drive-window.sh) runs the Linux window of build/ against the same
# simulated unit, and the two logs of calls into the bridge library (each
# call with its arguments and status, SIUSBXP_SIM_CALLS) must match byte for
# byte, the start-up and the whole session. Then the unit must hold the loaded table
# and the saved file must be that table.
set -euo pipefail

# Wine's desktop process takes its display from the first Wine program that
# starts it and serves every later window there: Wine starts on the display
# that the drives use, both drives share it (one after the other), and the
# prefix is the script's own, so that no earlier Wine server's desktop is met.
if [ -z "${TALVO_DRIVE_DISPLAY:-}" ]; then
    TALVO_DRIVE_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
native="${TALVO_BUILD_DIR:-$root/build}"
cross="$root/build-mingw"
table="$root/tests/data/edid/Digital_AOC_AOC2460_2089CBFCE351.bin"

work=$(mktemp -d)

cmake --install "$cross" --prefix "$work/windows" >/dev/null
cp "$cross/sim/SiUSBXp.dll" "$work/windows/"

export WINEPREFIX="$work/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Wine's server and its service processes outlive the programs they serve and
# keep every descriptor they were started with: start them here with none of
# ours (else a caller reading this script's output waits for them forever),
# and stop them however the script ends.
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wineboot --init </dev/null >/dev/null 2>&1

# A unit in AUTOMIX holding its default table.
fresh_unit() { printf 'talvo-sim-state 1\nmode 1\n' >"$1"; }

# drive NAME PATH_STYLE PROGRAM...: one run of the drive.
drive() {
    local name=$1 style=$2
    shift 2
    fresh_unit "$work/$name.state"
    local state=$work/$name.state log=$work/$name.log load=$table save=$work/$name-saved.bin
    if [ "$style" = windows ]; then
        state=$(winepath -w "$state") log_for_program=$(winepath -w "$log")
        load=$(winepath -w "$load") save=$(winepath -w "$save")
    else
        log_for_program=$log
    fi
    SIUSBXP_SIM_STATE=$state SIUSBXP_SIM_CALLS=$log_for_program \
        "$root/scripts/drive-window.sh" "$work/$name.log" "$load" "$save" -- "$@"
}

drive linux posix env LD_LIBRARY_PATH="$native/sim" "$native/app/talvo-edid-utility"
drive windows windows wine "$work/windows/talvo-edid-utility.exe"

# The stand-in built for Windows writes its log and state in text mode, with
# CR LF line ends; compare lines, not line ends.
for file in "$work"/windows.log "$work"/windows.log.startup "$work"/windows.state; do
    sed -i 's/\r$//' "$file"
done

failed=0
check() {
    if ! "${@:2}"; then
        echo "FAIL: $1" >&2
        failed=1
    fi
}
check "the start-up calls differ from the Linux window's" \
    cmp "$work/linux.log.startup" "$work/windows.log.startup"
check "the session's calls differ from the Linux window's" cmp "$work/linux.log" "$work/windows.log"
check "the Windows window's saved file is not the loaded table" cmp "$table" "$work/windows-saved.bin"
expected="memory B0 $(od -An -v -tx1 "$table" | tr -d ' \n' | tr a-f A-F)"
check "the unit does not hold the table the Windows window wrote" grep -qxF "$expected" "$work/windows.state"
check "the unit is not in CUSTOM mode" grep -qx 'mode 3' "$work/windows.state"
if [ "$failed" = 1 ]; then
    diff "$work/linux.log" "$work/windows.log" >&2 || true
    exit 1
fi
echo "The Windows window under Wine: $(wc -l <"$work/windows.log.startup") start-up calls and" \
    "$(wc -l <"$work/windows.log") in all, identical to the Linux window's; write and save checked"
