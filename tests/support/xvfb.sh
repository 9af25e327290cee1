# Sourced by the test scripts that need an X server of their own.
# start_xvfb NAME SIZE: starts Xvfb (screen SIZE, e.g. 1024x768x24) on a display it chooses
# itself, waits until it accepts clients and exports DISPLAY; sets xvfb_pid for the caller's
# clean-up. Writes into "$work". Returns 1, with Xvfb's own words, when it does not start.
start_xvfb() {
  local name=$1 size=$2
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    echo "$name: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=:$(tr -d '\n' <"$work/display")
}
