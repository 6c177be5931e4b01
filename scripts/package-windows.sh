#!/usr/bin/env bash
# Packs the command-line tool of the Windows cross build (build-mingw/, which
# scripts/test-windows.sh configures, builds and tests) as a zip with its
# README into build-mingw/package/, checks what went in, and prints the
# zip's path. The stand-in SiUSBXp.dll of the tests must never be in it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-mingw"

cmake --build --preset mingw-w64 >/dev/null
rm -f "$build"/package/*.zip
if ! log=$(cd "$build" && cpack -G ZIP -B "$build/package" 2>&1); then
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
echo "$zip"
