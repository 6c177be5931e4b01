#!/usr/bin/env bash
# Builds the Debian packages (scripts/package.sh) and checks them the way a
# user meets them: lintian (no errors) on both, the tool's package free of
# Qt and the window's depending on it, the desktop entry and the AppStream
# metainfo validated as shipped, then the tool installed alone and run, the
# window installed beside it and started (offscreen, against the stand-in
# bridge library of the build tree), and both removed again. The machine is
# left as it was found, also when a step fails. Needs root, and a machine
# where neither package is installed yet.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TALVO_BUILD_DIR:-$root/build}"
tool_package=talvo-edid
window_package=talvo-edid-utility
app_id=org.talvo.EdidUtility

"$root/scripts/install-missing.sh" lintian desktop-file-utils appstream

for package in "$window_package" "$tool_package"; do
    if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
        echo "$package is installed on this machine already; remove it first" \
            "(dpkg --purge $window_package $tool_package), so that this test can leave the" \
            "machine as it found it" >&2
        exit 1
    fi
done

debs=$("$root/scripts/package.sh" | grep '\.deb$')
tool_deb=$(grep "/${tool_package}_[^/]*\.deb$" <<<"$debs" || true)
window_deb=$(grep "/${window_package}_[^/]*\.deb$" <<<"$debs" || true)
if [ -z "$window_deb" ]; then
    echo "no package of the window was built" >&2
    exit 1
fi
echo "Checking $debs"

unpacked=$(mktemp -d)
work=$(mktemp -d)
installed=()
clean_up() {
    if [ "${#installed[@]}" -gt 0 ]; then
        dpkg --purge "${installed[@]}" >/dev/null
    fi
    rm -rf "$unpacked" "$work"
}
trap clean_up EXIT

for deb in $debs; do
    lintian --fail-on error "$deb"
    dpkg-deb -x "$deb" "$unpacked"
done
desktop-file-validate "$unpacked/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$app_id.metainfo.xml"
if find "$unpacked" -iname '*siusbxp*' | grep .; then
    echo "a package holds the stand-in bridge library" >&2
    exit 1
fi

# The tool is packaged wherever the tree has its sources: alone, without Qt,
# and the window's package brings it along.
if [ -d "$root/cli" ]; then
    if [ -z "$tool_deb" ]; then
        echo "no package of the command-line tool was built" >&2
        exit 1
    fi
    if dpkg-deb -f "$tool_deb" Depends | grep -i 'qt'; then
        echo "the command-line tool's package depends on Qt" >&2
        exit 1
    fi
    if ! dpkg-deb -f "$window_deb" Depends | grep -q "\b$tool_package (= "; then
        echo "the window's package does not depend on $tool_package" >&2
        exit 1
    fi
    installed+=("$tool_package")
    dpkg -i "$tool_deb"
    /usr/bin/talvo-edid --version
else
    echo "This tree has no command-line tool: talvo-edid --version not run"
fi

installed=("$window_package" "${installed[@]}")
dpkg -i "$window_deb"

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

dpkg --purge "${installed[@]}"
installed=()
echo "Package checks passed"
