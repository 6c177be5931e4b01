#!/usr/bin/env bash
# Cross-builds for 64-bit Windows with mingw-w64 into build-mingw/ and runs
# the Windows tests through Wine: the Qt-free layers, the stand-in
# SiUSBXp.dll and the tool always; when Qt for Windows is in its cache
# (scripts/build-qt-windows.sh builds it once, in 70 to 95 minutes on two
# cores) also the window's Qt Test suites, the window driven as a user would
# against the Linux window's requests, and the installer; without the cache
# one line says that those were skipped. Packs the zip and, with the window,
# the installer. Installs the cross compilers, Wine and the X tools when they
# are missing; when they cannot be installed, says that the Windows tests are
# skipped and succeeds.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-mingw"

packages=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 libcli11-dev nlohmann-json3-dev
    qt6-base-dev qt6-base-dev-tools nsis xvfb xauth xdotool fonts-wine)

if ! "$root/scripts/install-missing.sh" --no-prompt "${packages[@]}"; then
    echo "Windows tests skipped: could not install ${packages[*]}"
    exit 0
fi

cmake --preset mingw-w64 -S "$root"
cmake --build --preset mingw-w64

# A Wine of its own inside the build tree, headless, without the Mono and
# Gecko installers that a new prefix would otherwise ask for.
export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

# Wine's server and its helper processes outlive the program they serve; left
# to the first test, they would keep CTest's output pipes open. Start them
# here, away from CTest, and stop them whatever the tests' outcome.
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineboot --init >/dev/null 2>&1

# The window's suites find Qt's DLLs and the compiler's runtime through
# Wine's own PATH.
qt_prefix=$(cmake -L -N "$build" | sed -n 's/^TALVO_QT_WINDOWS_PREFIX:PATH=//p')
window_built=false
if [ -f "$build/app/talvo-edid-utility.exe" ]; then
    window_built=true
    runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
    pthread=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
    WINEPATH="$(winepath -w "$qt_prefix/bin");$(winepath -w "$runtime");$(winepath -w "$pthread")"
    export WINEPATH
fi

if [ "$window_built" = true ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset mingw-w64
else
    ctest --preset mingw-w64
fi

# The zip for Windows users, and with the window the installer.
"$root/scripts/package-windows.sh"

# The window as a user runs it, from the package's folder and from the
# installer, each in a Wine of its own: without the build's Qt on Wine's
# PATH, so that a DLL the package lacks is missed here too.
if [ "$window_built" = true ]; then
    env -u WINEPATH -u WINEPREFIX "$root/scripts/test-windows-window.sh"
    env -u WINEPATH -u WINEPREFIX "$root/scripts/test-windows-installer.sh"
fi

if [ "$window_built" != true ]; then
    echo "The window's Windows tests were skipped: no Qt for Windows in $qt_prefix;" \
        "scripts/build-qt-windows.sh builds it once (70 to 95 minutes on two cores)"
fi
