# Qt for the Windows cross build: Debian has none, so scripts/build-qt-windows.sh
# builds one into a cache outside the repository. When that cache is complete
# the window is built; otherwise the rest is, and one line says why the
# window was left out.
if(DEFINED ENV{TALVO_QT_WINDOWS_PREFIX})
    set(talvo_qt_default $ENV{TALVO_QT_WINDOWS_PREFIX})
elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(talvo_qt_default $ENV{XDG_CACHE_HOME}/talvo-edid/qt-6.4.2-mingw-x86_64)
else()
    set(talvo_qt_default $ENV{HOME}/.cache/talvo-edid/qt-6.4.2-mingw-x86_64)
endif()
set(TALVO_QT_WINDOWS_PREFIX ${talvo_qt_default} CACHE PATH "Qt built for Windows by scripts/build-qt-windows.sh")

if(NOT TALVO_BUILD_GUI)
    return()
endif()
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64 OR NOT EXISTS ${TALVO_QT_WINDOWS_PREFIX}/.talvo-complete)
    message(STATUS "The window is left out: no Qt for Windows in ${TALVO_QT_WINDOWS_PREFIX} (scripts/build-qt-windows.sh builds it)")
    set(TALVO_BUILD_GUI OFF)
    return()
endif()

# The cross-built Qt runs the host's own Qt tools (moc, rcc, uic), of the
# same version, from Debian's qt6-base-dev-tools.
list(APPEND CMAKE_FIND_ROOT_PATH ${TALVO_QT_WINDOWS_PREFIX})
set(QT_HOST_PATH /usr CACHE PATH "The host's Qt, whose tools the cross build runs")
file(GLOB talvo_host_qt_config /usr/lib/*/cmake/Qt6/Qt6Config.cmake)
if(NOT talvo_host_qt_config)
    message(FATAL_ERROR "The Windows window needs the host's Qt 6 tools: install qt6-base-dev and qt6-base-dev-tools")
endif()
list(GET talvo_host_qt_config 0 talvo_host_qt_config)
get_filename_component(talvo_host_cmake_dir ${talvo_host_qt_config} DIRECTORY)
get_filename_component(talvo_host_cmake_dir ${talvo_host_cmake_dir} DIRECTORY)
set(QT_HOST_PATH_CMAKE_DIR ${talvo_host_cmake_dir} CACHE PATH "The host Qt's CMake packages")
