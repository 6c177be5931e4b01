#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks it the way a user
# meets it: lintian (no errors), the desktop entry and the AppStream metainfo
# validated as shipped, then installed with dpkg, both installed programs
# started (the window offscreen, against the stand-in bridge library of the
# build tree) and the package removed again. The machine is left as it was
# found, also when a step fails. Needs root, and a machine where the package
# is not installed yet.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TALVO_BUILD_DIR:-$root/build}"
package=talvo-edid-utility
app_id=org.talvo.EdidUtility

"$root/scripts/install-missing.sh" lintian desktop-file-utils appstream

if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    echo "$package is installed on this machine already; remove it first (dpkg -r $package)," \
        "so that this test can leave the machine as it found it" >&2
    exit 1
fi

deb=$("$root/scripts/package.sh" | tail -n 1)
echo "Checking $deb"

lintian --fail-on error "$deb"

unpacked=$(mktemp -d)
work=$(mktemp -d)
installed=false
clean_up() {
    if $installed; then
        dpkg --purge "$package" >/dev/null
    fi
    rm -rf "$unpacked" "$work"
}
trap clean_up EXIT

dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$app_id.metainfo.xml"
if find "$unpacked" -iname '*siusbxp*' | grep .; then
    echo "the package holds the stand-in bridge library" >&2
    exit 1
fi

installed=true
dpkg -i "$deb"

# The tool is part of the package wherever the tree has its sources.
if [ -d "$root/cli" ]; then
    /usr/bin/talvo-edid --version
else
    echo "This tree has no command-line tool: talvo-edid --version not run"
fi

# The window has started well when it is still running after a few seconds
# and has asked the simulated unit for its mode and table.
export LD_LIBRARY_PATH="$build/sim"
export SIUSBXP_SIM_STATE="$work/unit.state"
export SIUSBXP_SIM_LOG="$work/requests.log"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
status=0
QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/talvo-edid-utility || status=$?
if [ "$status" -ne 124 ]; then
    echo "the installed window ended early, with status $status" >&2
    exit 1
fi
if [ ! -s "$SIUSBXP_SIM_LOG" ]; then
    echo "the installed window sent no request to the simulated unit" >&2
    exit 1
fi
echo "The installed window ran against the simulated unit ($(wc -l <"$SIUSBXP_SIM_LOG") log lines)"

installed=false
dpkg --purge "$package"
echo "Package checks passed"
