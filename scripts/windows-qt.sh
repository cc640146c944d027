#!/bin/sh
# Prints the prefix of the Qt built for Windows (x86_64, MinGW-w64) that the Windows build uses, making it
# first when there is none yet. The prefix is TELVANE_QT_MINGW when set; otherwise it is kept under
# ~/.cache/telvane/, keyed by Debian's Qt version, and filled from ../shared/windows/<name>.tar.xz beside the
# clone when that is there, else built from Debian's own source package of qt6-base (about an hour here).
# Usage: windows-qt.sh [--if-available]   (--if-available never builds: it prints nothing and fails instead)
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)

if [ -n "${TELVANE_QT_MINGW:-}" ]; then
    [ -f "$TELVANE_QT_MINGW/lib/cmake/Qt6/Qt6Config.cmake" ] || { echo "TELVANE_QT_MINGW=$TELVANE_QT_MINGW holds no Qt 6" >&2; exit 1; }
    echo "$TELVANE_QT_MINGW"
    exit 0
fi

debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || true)
[ -n "$debian_version" ] || { echo "qt6-base-dev-tools is not installed (make windows installs it)" >&2; exit 1; }
version=$(echo "$debian_version" | sed 's/[+~-].*//')
name=qt$version-mingw-x86_64
cache=${XDG_CACHE_HOME:-$HOME/.cache}/telvane
prefix=$cache/$name
if [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$cache"
tarball=$repo/../shared/windows/$name.tar.xz
if [ -f "$tarball" ]; then
    echo "Unpacking $tarball into $cache" >&2
    rm -rf "$cache/unpack"
    mkdir -p "$cache/unpack"
    tar -xJf "$tarball" -C "$cache/unpack"
    mv "$cache/unpack/$name" "$prefix"
    rm -rf "$cache/unpack"
    echo "$prefix"
    exit 0
fi
[ "${1:-}" = "--if-available" ] && exit 1

echo "Building Qt $version for Windows from Debian's source package, once (about an hour on 2 cores)" >&2
sh "$repo/scripts/deb-src.sh"
work=$cache/build-$name
rm -rf "$work"
mkdir -p "$work"
cd "$work"
apt-get source --download-only -qq "qt6-base=$debian_version" >/dev/null
tar -xf qt6-base_*.orig.tar.*
# The toolchain of the Windows build itself; only what Telvane needs, and neither tablet input (Debian's
# source leaves out its Wintab header) nor dynamic OpenGL (it does not compile with OpenGL off).
cmake -S "$work/qtbase-everywhere-src-$version" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$work/$name" \
    -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_system_zlib=OFF -DFEATURE_vulkan=OFF \
    -DINPUT_openssl=no -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF >"$work/configure.log"
cmake --build "$work/build"
cmake --install "$work/build" >/dev/null
mv "$work/$name" "$prefix"
rm -rf "$work"
echo "$prefix"
