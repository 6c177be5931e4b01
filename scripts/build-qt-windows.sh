#!/usr/bin/env bash
# Builds Qt 6.4.2 for 64-bit Windows (mingw-w64, posix threads) from Debian's
# own qt6-base source and installs it into a cache outside the repository:
#   ${TALVO_QT_WINDOWS_PREFIX:-${XDG_CACHE_HOME:-~/.cache}/talvo-edid/qt-6.4.2-mingw-x86_64}
# Only what the window needs is built: Core, Gui, Widgets, Test, the Windows
# platform plugin and styles, with Qt's bundled third-party libraries. The
# libraries are shared DLLs, so that a user may replace them as the LGPL
# allows. The first build takes 70 to 95 minutes on two cores; once the cache
# is complete a second run does nothing.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix="${TALVO_QT_WINDOWS_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/talvo-edid/qt-6.4.2-mingw-x86_64}"
stamp="$prefix/.talvo-complete"
work="$prefix.work"

if [ -f "$stamp" ]; then
    echo "Qt for Windows is already built in $prefix"
    exit 0
fi

# The host's Qt tools (moc, rcc, uic) run during the cross build, so the
# source must be the very version the host has.
"$root/scripts/install-missing.sh" cmake ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools \
    g++-mingw-w64-x86-64
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%-*}
upstream=${upstream%%+*}
if [ "$upstream" != 6.4.2 ]; then
    echo "the host has Qt $upstream; this script builds Qt 6.4.2 for Windows to match 6.4.2 host tools" >&2
    exit 1
fi

started=$(date +%s)
echo "Building Qt $version for Windows into $prefix (once; 70 to 95 minutes on two cores)"
mkdir -p "$work"

# Debian's source comes through a deb-src entry in an apt configuration of
# our own: the system's sources are left as they are.
apt_dir="$work/apt"
source_dir="$work/source"
if [ ! -f "$source_dir/.complete" ]; then
    echo "Fetching Debian's qt6-base $version source"
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    cat >"$apt_dir/sources.list.d/debian-source.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt_options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
        -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -q)
    apt-get "${apt_options[@]}" update
    rm -rf "$source_dir"
    mkdir -p "$source_dir"
    (cd "$source_dir" && apt-get "${apt_options[@]}" source "qt6-base=$version")
    touch "$source_dir/.complete"
fi
qt_source=$(find "$source_dir" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)

# wintab is not in Debian's +dfsg tarball, hence no tablet events; without
# OpenGL the platform plugin's dynamic-GL code must go too.
build_dir="$work/build"
if [ ! -f "$build_dir/build.ninja" ]; then
    echo "Configuring Qt for x86_64-w64-mingw32"
    cmake -S "$qt_source" -B "$build_dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
        -DTALVO_MINGW_SHARED_RUNTIME=ON \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DINPUT_opengl=no \
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_vulkan=OFF -DFEATURE_openssl=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_zstd=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_doubleconversion=OFF
fi

echo "Building Qt (about 1,100 steps)"
cmake --build "$build_dir" --parallel "$(nproc)"
rm -rf "$prefix"
cmake --install "$build_dir"
# The licence texts travel with the libraries: the Windows package ships them.
licences="$prefix/share/licenses/qt6-base"
mkdir -p "$licences"
cp -r "$qt_source/LICENSES" "$qt_source/debian/copyright" "$licences/"

minutes=$(( ($(date +%s) - started + 59) / 60 ))
echo "qt6-base $version for x86_64-w64-mingw32, built by scripts/build-qt-windows.sh in $minutes min" >"$stamp"
rm -rf "$work"
echo "Qt for Windows installed in $prefix ($minutes min)"
