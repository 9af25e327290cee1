#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo store in the program folder when there is
# none yet, and starts the client on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
home="${DELMORA_HOME:-$PWD/build/src/app}"
store="$home/national_corvanta.sqlite"
if [ ! -f "$store" ]; then
  ./build/store/delmora-store init "$store" --demo
  echo "데모 저장소를 만들었습니다: $store (아이디 demo, 첫 로그인 때 비밀번호를 정합니다)"
fi
DELMORA_HOME="$home" exec ./build/src/app/delmora-callcenter
