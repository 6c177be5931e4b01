#!/usr/bin/env bash
# Builds everything and runs the whole test suite through CTest.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TALVO_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"

ctest --test-dir "$build" --output-on-failure

# The Windows build's tests, cross-built and run under Wine (skipped, with a
# note, where the cross compiler and Wine cannot be installed).
"$root/scripts/test-windows.sh"
