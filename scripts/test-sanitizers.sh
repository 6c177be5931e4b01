#!/usr/bin/env bash
# The reliability runs. First the whole test suite, built with gcc's
# AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/; then the
# libFuzzer targets, built with clang in build-fuzz/, each run by CTest for a
# bounded number of inputs. A memory error, undefined behaviour or a leak
# fails the run. Installs the Debian packages it is missing, like setup.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sanitize_build="${TALVO_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
fuzz_build="${TALVO_FUZZ_BUILD_DIR:-$root/build-fuzz}"

packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-liberation xauth xvfb
    hwdata edid-decode libcli11-dev nlohmann-json3-dev libusb-1.0-0-dev umockdev libumockdev-dev
    clang libclang-rt-14-dev)

"$root/scripts/install-missing.sh" "${packages[@]}"

# Without optimisation the sanitized tree builds in about half the time, and
# the sanitizers see every access as written.
cmake --preset sanitize -S "$root" -B "$sanitize_build"
cmake --build "$sanitize_build"
ctest --test-dir "$sanitize_build" --output-on-failure

# The fuzz targets need no window: the Qt-free layers are all they reach.
cmake --preset fuzz -S "$root" -B "$fuzz_build"
cmake --build "$fuzz_build"
ctest --test-dir "$fuzz_build" --output-on-failure
