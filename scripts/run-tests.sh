#!/usr/bin/env bash
# Installs what is missing, builds from scratch if needed and runs the whole test suite.
#   --sanitize   the same suite in the address/undefined-behaviour build, kept in ./build-asan
#                so it never costs the normal build its objects.
set -euo pipefail
cd "$(dirname "$0")/.."
# A fresh clone elsewhere still finds the compiler cache's objects.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
bash scripts/install-deps.sh
case "${1:-}" in
  --sanitize)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDELMORA_SANITIZE=ON >/dev/null
    cmake --build build-asan -j2
    cd build-asan
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --output-on-failure -j2
    ;;
  "")
    bash scripts/build.sh
    cd build
    ctest --output-on-failure -j2
    ;;
  *)
    echo "usage: scripts/run-tests.sh [--sanitize]" >&2
    exit 2
    ;;
esac
