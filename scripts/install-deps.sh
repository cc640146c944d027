#!/bin/sh
# Installs the Debian packages Telvane needs to build, run and test, when any is missing.
# Usage: scripts/install-deps.sh [build|package|test|windows]
#   package adds what make package uses; test adds that and what the test suite and screenshots use (chromium
#   opens the phone report page);
#   windows adds the cross compiler and Wine to what the build uses.
set -eu

build_pkgs="cmake ninja-build g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libqrcodegencpp-dev fonts-dejavu-core
fonts-noto-color-emoji"
package_pkgs="dpkg-dev file"
# The Windows build: cross compiler, Wine to run it, zip to pack it; dpkg-dev (package_pkgs) unpacks the Debian
# sources that scripts/windows-qt.sh and scripts/windows-qrcodegen.sh build.
windows_pkgs="g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 wine wine64 zip unzip xz-utils"
test_pkgs="clang-format clang libclang-rt-14-dev adb xvfb xdotool imagemagick xclip zbar-tools libreoffice-writer-nogui
libreoffice-calc-nogui chromium lintian desktop-file-utils appstream"

case "${1:-build}" in
package) pkgs="$build_pkgs $package_pkgs" ;;
test) pkgs="$build_pkgs $package_pkgs $test_pkgs" ;;
windows) pkgs="$build_pkgs $package_pkgs $windows_pkgs" ;;
*) pkgs=$build_pkgs ;;
esac

missing=""
for p in $pkgs; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
else
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
