#!/usr/bin/env bash
# The client as an agent starts it, on a real X server with GLX: at its sign-in window it maps
# neither Qt WebEngine nor an OpenGL driver (Mesa's GLX, its DRI driver and LLVM). Either costs
# every agent tens of megabytes for the remote-support window most never open; they come with
# that window (tests/shell/tst_webmodule.cpp), not with the program. Nor printing (Qt
# PrintSupport, CUPS): it comes with the first print or preview.
# Usage: check-startup-maps.sh CLIENT
set -uo pipefail
client=$1

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "startup-maps: $tool is missing; scripts/install-deps.sh installs it" >&2; exit 1; }
done

work=$(mktemp -d)
cleanup() {
  [ -n "${client_pid:-}" ] && kill "$client_pid" 2>/dev/null && wait "$client_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/../support/xvfb.sh"
start_xvfb startup-maps 1024x768x24 || exit 1
export QT_QPA_PLATFORM=xcb DELMORA_HOME="$work/home"
mkdir -p "$DELMORA_HOME"

"$client" --demo >"$work/client.log" 2>&1 &
client_pid=$!
signin=""
for _ in $(seq 600); do
  signin=$(xdotool search --onlyvisible --pid "$client_pid" --name "로그인" 2>/dev/null | head -1)
  [ -n "$signin" ] && break
  kill -0 "$client_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$signin" ]; then
  echo "startup-maps: the sign-in window did not appear" >&2
  cat "$work/client.log" >&2
  exit 1
fi
sleep 1 # whatever the start-up still does once the window shows
cp "/proc/$client_pid/maps" "$work/maps" || exit 1

# The maps are read correctly when they show what every Qt widget program maps.
grep -q libQt6Widgets "$work/maps" || { echo "startup-maps: no libQt6Widgets in the maps read" >&2; exit 1; }
status=0
for marker in libQt6WebEngineCore libdelmora-web libLLVM _dri.so libGLX_mesa libEGL_mesa libQt6PrintSupport libcups; do
  if grep -q -- "$marker" "$work/maps"; then
    echo "mapped at the sign-in window: $(grep -- "$marker" "$work/maps" | awk '{print $6}' | sort -u | head -1)"
    status=1
  fi
done
echo "VmRSS at the sign-in window: $(awk '/VmRSS/ {print $2, $3}' "/proc/$client_pid/status")"
[ "$status" = 0 ] && echo "startup-maps ok"
exit "$status"
