#!/usr/bin/env bash
# The Windows installer (build-mingw/package/*-setup.exe), proven under Wine:
# a silent install puts both programs, the Qt DLLs and plugins, the notices
# and the uninstaller into Program Files and a Start menu entry for the
# window; the installed window starts against the stand-in SiUSBXp.dll
# placed beside it and reads the unit's table; a silent uninstall leaves
# neither folder nor entry behind. Runs in a Wine prefix of its own.
set -euo pipefail

# Wine's desktop process takes its display from the first program that starts
# it and keeps it for the prefix's life: the whole run, install included,
# shares one virtual display.
if [ -z "${TALVO_INSTALLER_DISPLAY:-}" ]; then
    TALVO_INSTALLER_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cross="$root/build-mingw"
installer=$(ls "$cross"/package/talvo-edid-*-windows-x86_64-setup.exe)

work=$(mktemp -d)
export WINEPREFIX="$work/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
# Wine's server and services keep every descriptor they start with: give them
# none of ours, so that a caller reading this script's output is not kept
# waiting.
mkdir "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wineboot --init </dev/null >/dev/null 2>&1

drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/Program Files/TALVO EDID Utility"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/TALVO EDID Utility"

failed=0
expect() {
    if ! "${@:2}"; then
        echo "FAIL: $1" >&2
        failed=1
    fi
}

# NSIS's /S installs without a page; the installer waits for its own end.
wine "$installer" /S
for file in talvo-edid-utility.exe talvo-edid.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
    platforms/qwindows.dll styles/qwindowsvistastyle.dll libstdc++-6.dll README-windows.txt \
    NOTICE.txt Uninstall.exe; do
    expect "the installer did not install $file" test -f "$folder/$file"
done
expect "the installer shipped a SiUSBXp.dll" test ! -e "$folder/SiUSBXp.dll"
expect "no Start menu entry for the window" test -f "$menu/TALVO EDID Utility.lnk"

# The installed window against the stand-in, on a virtual display: it reads
# the unit's table at start-up (16 block reads) and shows it.
cp "$cross/sim/SiUSBXp.dll" "$folder/"
printf 'talvo-sim-state 1\nmode 3\n' >"$work/unit.state"
SIUSBXP_SIM_STATE=$(winepath -w "$work/unit.state") SIUSBXP_SIM_CALLS=$(winepath -w "$work/calls.log") \
    wine "$folder/talvo-edid-utility.exe" &
program=$!
if timeout 120 xdotool search --sync --onlyvisible --name '^TALVO EDID Utility$' >/dev/null; then
    sleep 3
else
    echo "FAIL: the installed window did not appear within two minutes" >&2
    failed=1
fi
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
# The stand-in built for Windows ends its log's lines with CR LF.
reads=$(tr -d '\r' <"$work/calls.log" | grep -c '^SI_Write 11 10 B0 .* -> 0$' || true)
expect "the installed window did not read the unit's table at start-up ($reads of 16 block reads)" \
    test "$reads" = 16
rm "$folder/SiUSBXp.dll"

wine "$folder/Uninstall.exe" /S
# The uninstaller copies itself away and runs from there, so its start
# returns at once; give the copy its end (the folder goes first, then the
# Start menu entry).
for _ in $(seq 300); do
    [ -e "$folder" ] || [ -e "$menu" ] || break
    sleep 0.2
done
expect "the uninstaller left $folder" test ! -e "$folder"
expect "the uninstaller left the Start menu entry" test ! -e "$menu"

[ "$failed" = 0 ] || exit 1
echo "The installer $(basename "$installer") installs, starts the window and uninstalls cleanly under Wine"
