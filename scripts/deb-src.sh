#!/bin/sh
# apt-get source needs a deb-src entry for the archive the binary packages come from: adds one when there is
# none, beside the system's own sources.
set -eu
grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/ && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
    $sudo tee /etc/apt/sources.list.d/telvane-deb-src.sources >/dev/null
$sudo apt-get update -qq
