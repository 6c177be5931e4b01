#!/usr/bin/env bash
# Builds the Debian package of both programs from the build/ tree (which
# setup.sh brings up to date first, rebuilding only what changed) into
# build/package/, and prints its path. Installs the Debian tools that CPack
# needs to work out the package's dependencies when they are missing.
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
