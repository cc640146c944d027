#!/bin/sh
# Prints the prefix of qrcodegen's C++ library built for Windows (x86_64, MinGW-w64), making it first when there
# is none yet: from Debian's own source package qr-code-generator, of the version of libqrcodegencpp-dev here,
# compiled with the compilers of cmake/mingw-w64.cmake into a static library with a CMake package. Kept in
# ~/.cache/telvane/, keyed by that version. Static, so the Windows programs hold it and the zip needs no DLL.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)

debian_version=$(dpkg-query -W -f='${Version}' libqrcodegencpp-dev 2>/dev/null || true)
[ -n "$debian_version" ] || { echo "libqrcodegencpp-dev is not installed (make windows installs it)" >&2; exit 1; }
version=${debian_version%%-*}
name=qrcodegen$version-mingw-x86_64
cache=${XDG_CACHE_HOME:-$HOME/.cache}/telvane
prefix=$cache/$name
if [ -f "$prefix/lib/cmake/qrcodegencpp/qrcodegencppConfig.cmake" ]; then
    echo "$prefix"
    exit 0
fi

echo "Building qrcodegen $version for Windows from Debian's source package, once" >&2
sh "$repo/scripts/deb-src.sh"
work=$cache/build-$name
rm -rf "$work"
mkdir -p "$work"
cd "$work"
# Some mirrors serve the upstream tarball without Debian's part: the tarball, checked against the .dsc, is
# enough (Debian's patches add nothing that Telvane uses), and Debian's part is applied when it came.
apt-get source --download-only -qq "qr-code-generator=$debian_version" >/dev/null 2>&1 || true
dsc=qr-code-generator_$debian_version.dsc
orig=qr-code-generator_$version.orig.tar.gz
sum=$(sed -n "s/^ \([0-9a-f]\{64\}\) [0-9]* $orig\$/\1/p" "$dsc" 2>/dev/null || true)
if [ -z "$sum" ] || ! echo "$sum  $orig" | sha256sum -c --quiet >/dev/null 2>&1; then
    echo "Debian's source of qr-code-generator $debian_version could not be fetched" >&2
    exit 1
fi
if [ -f "qr-code-generator_$debian_version.debian.tar.xz" ]; then
    dpkg-source -x "$dsc" source >/dev/null 2>&1
else
    mkdir source
    tar -xzf "$orig" -C source --strip-components=1
fi
cmake -S "$repo/scripts/qrcodegen" -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQRCODEGEN_SOURCE="$work/source/cpp" -DQRCODEGEN_VERSION="$version" \
    -DCMAKE_INSTALL_PREFIX="$work/$name" >"$work/configure.log"
cmake --build build >"$work/build.log"
cmake --install build >/dev/null
mv "$work/$name" "$prefix"
rm -rf "$work"
echo "$prefix"
