#!/usr/bin/env bash
# Builds the Debian package of the client and the store tool into build/ (delmora_VERSION_ARCH.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The package's binaries carry Debian's hardening flags; lintian checks the package as built.
bash scripts/build.sh -DDELMORA_HARDENING=ON
cd build
cpack -G DEB
deb="$(ls -1 "$PWD"/delmora_*.deb)"
lintian --fail-on error,warning "$deb"
echo "$deb"
