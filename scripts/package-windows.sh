#!/usr/bin/env bash
# Packs the Windows cross build (build-mingw/, which scripts/test-windows.sh
# configures, builds and tests) into build-mingw/package/: a zip, and with
# the window an installer. Checks what went in and prints the packages'
# paths and sizes. The stand-in SiUSBXp.dll of the tests must never be in
# either.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-mingw"

cmake --build --preset mingw-w64 >/dev/null
rm -f "$build"/package/*.zip "$build"/package/*-setup.exe
if ! log=$(cd "$build" && cpack -B "$build/package" 2>&1); then
    echo "$log" >&2
    exit 1
fi
zip=$(ls "$build"/package/*.zip)

contents=$(cmake -E tar tf "$zip")
if grep -i 'siusbxp' <<<"$contents"; then
    echo "$zip holds the stand-in bridge library" >&2
    exit 1
fi
if [ -d "$root/cli" ] && ! grep -q '/talvo-edid\.exe$' <<<"$contents"; then
    echo "$zip lacks talvo-edid.exe" >&2
    exit 1
fi
if [ -f "$build/app/talvo-edid-utility.exe" ]; then
    for required in talvo-edid-utility.exe Qt6Widgets.dll platforms/qwindows.dll libstdc++-6.dll \
        licenses/qt6-base/copyright; do
        if ! grep -q "/$required\$" <<<"$contents"; then
            echo "$zip lacks $required" >&2
            exit 1
        fi
    done
    # The installer packs the same installed tree as the zip; the installer
    # test checks what it puts on the disk.
    installer=$(ls "$build"/package/*-setup.exe)
    echo "$installer ($(du -k "$installer" | cut -f1) KB)"
fi
echo "$zip ($(du -k "$zip" | cut -f1) KB)"
