#!/usr/bin/env bash
# Builds the Debian package of the client and the store tool into build/ (delmora_VERSION_ARCH.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build
cpack -G DEB
ls -1 "$PWD"/delmora_*.deb
