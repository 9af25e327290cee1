#!/usr/bin/env bash
# Runs the real input-method test: its own X server, its own D-Bus session, ibus-daemon with
# the Hangul engine in Hangul mode, and the test program with Qt's IBus input context.
# Usage: run-real-ime.sh TEST-PROGRAM [QtTest arguments...]
set -uo pipefail
program=$1
shift

for tool in Xvfb dbus-run-session ibus-daemon ibus xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "real-ime: $tool is missing; scripts/install-deps.sh installs it" >&2
    exit 1
  fi
done
if [ ! -x /usr/libexec/ibus-engine-hangul ] && [ ! -x /usr/lib/ibus/ibus-engine-hangul ]; then
  echo "real-ime: the ibus-hangul engine is missing; scripts/install-deps.sh installs it" >&2
  exit 1
fi

work=$(mktemp -d)
cleanup() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/../support/xvfb.sh"
start_xvfb real-ime 1600x1000x24 || exit 1

# The engine's settings live in this run's own key file: Hangul mode from the first key.
export XDG_CONFIG_HOME=$work/config
export XDG_CACHE_HOME=$work/cache
export GSETTINGS_BACKEND=keyfile
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings" "$XDG_CACHE_HOME"
cat >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<'INI'
[org/freedesktop/ibus/engine/hangul]
initial-input-mode='hangul'
INI

export REAL_IME_PROGRAM=$program
export REAL_IME_LOG=$work/ibus.log
dbus-run-session -- bash -c '
  ibus-daemon --panel=disable --emoji-extension=disable --replace 2>"$REAL_IME_LOG" &
  ibus_pid=$!
  stop() { timeout 5 ibus exit >/dev/null 2>&1; kill "$ibus_pid" 2>/dev/null; wait "$ibus_pid" 2>/dev/null; }
  trap stop EXIT
  # Bounded wait until the daemon answers and the Hangul engine is the one in use.
  ready=
  for _ in $(seq 200); do
    if timeout 5 ibus address >/dev/null 2>&1 && timeout 5 ibus engine hangul >/dev/null 2>&1 &&
       [ "$(timeout 5 ibus engine 2>/dev/null)" = hangul ]; then
      ready=1
      break
    fi
    sleep 0.1
  done
  if [ -z "$ready" ]; then
    echo "real-ime: ibus-daemon did not come up with the Hangul engine" >&2
    cat "$REAL_IME_LOG" >&2
    exit 1
  fi
  IBUS_ADDRESS=$(ibus address) QT_IM_MODULE=ibus QT_QPA_PLATFORM=xcb "$REAL_IME_PROGRAM" "$@"
' real-ime "$@"
