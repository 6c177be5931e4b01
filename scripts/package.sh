#!/usr/bin/env bash
# Builds the Debian packages from the build/ tree (which setup.sh brings up
# to date first, rebuilding only what changed) into build/package/, and
# prints their paths: talvo-edid, the command-line tool, and
# talvo-edid-utility, the window, which depends on it. Installs the Debian tools that CPack
# needs to work out the packages' dependencies when they are missing.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TALVO_BUILD_DIR:-$root/build}"

"$root/scripts/install-missing.sh" dpkg-dev file
"$root/scripts/setup.sh"

rm -f "$build"/package/*.deb
if ! log=$(cd "$build" && cpack -G DEB -B "$build/package" 2>&1); then
    echo "$log" >&2
    exit 1
fi
ls "$build"/package/*.deb
