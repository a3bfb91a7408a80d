#!/usr/bin/env bash
# The Qt that h33feed.exe is built with: Debian's own qtbase sources, built
# static for 64-bit Windows with MinGW-w64, the host's Qt of the same version
# supplying moc, rcc and uic. Built once per machine and kept in CACHE_DIR,
# under a name made of the Debian version, the options and the patches below:
# a change to any of them builds anew beside the old one.
#
#   packaging/windows/build-qt.sh CACHE_DIR     prints the installed prefix
#
# About 25 minutes on two cores; 2.4 GB of build folder while it runs, 106 MB
# installed. Needs a deb-src line for Debian's archive (dev.sh adds one).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=$(mkdir -p "$1" && cd "$1" && pwd)

# The host tools must be of the very version built, or the generated code
# does not fit the headers.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)

# Only what the window needs. FreeType stays on: without it Qt has no
# "offscreen" platform, which the window's tests run on. Direct2D stays on as
# well: Qt 6.4 compiles its DirectWrite fonts only with it, yet the windows
# platform uses them. The libraries come from Qt's own copies, so the result
# needs nothing but Windows' DLLs.
OPTIONS=(
  -DCMAKE_BUILD_TYPE=Release
  "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG"
  -DBUILD_SHARED_LIBS=OFF
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no
  -DFEATURE_vulkan=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF
  -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
)
key=$( (printf '%s\n' "$version" "${OPTIONS[@]}"; cat "$here"/qt-patches/*.patch) | sha256sum | cut -c1-12)
prefix=$cache/qt-${version//[^A-Za-z0-9.]/_}-mingw64-static-$key
if [[ -f $prefix/.complete ]]; then
  echo "$prefix"
  exit 0
fi

work=$cache/work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
log=$cache/qt-build-$key.log
echo "== building Qt $version for Windows into $prefix (log: $log)" >&2
{
  cd "$work"
  # apt-get source also applies Debian's own patches (security fixes).
  apt-get source -qq "qt6-base=$version"
  cd qt6-base-*/
  for patch in "$here"/qt-patches/*.patch; do patch -p1 --forward <"$patch"; done
  cat >"$work/toolchain.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
  cmake -S . -B build -G Ninja "${OPTIONS[@]}" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  cmake --build build --parallel "$(nproc)"
  cmake --install build
} >"$log" 2>&1 || {
  tail -n 40 "$log" >&2
  echo "== the Qt build failed: see $log" >&2
  exit 1
}
touch "$prefix/.complete"
# Builds for other versions, options or patches are of no more use.
for old in "$cache"/qt-*-mingw64-static-*; do
  [[ $old != "$prefix" && -d $old ]] && rm -rf "$old"
done
rm -f "$cache"/qt-build-*.log
echo "$prefix"
