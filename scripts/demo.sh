#!/usr/bin/env bash
# Starts the utility against the simulated TALVO. The simulated unit keeps
# its table and mode in build/demo-unit.state between runs.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TALVO_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"

export LD_LIBRARY_PATH="$build/sim${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export SIUSBXP_SIM_STATE="${SIUSBXP_SIM_STATE:-$build/demo-unit.state}"
export SIUSBXP_SIM_LOG="${SIUSBXP_SIM_LOG:-$build/demo-requests.log}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting the utility in a virtual X server (xvfb-run)."
    exec xvfb-run -a "$build/app/talvo-edid-utility"
fi
exec "$build/app/talvo-edid-utility"
