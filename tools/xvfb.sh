# Sourced by the scripts that need a display: a private Xvfb that they start
# and stop. Set a trap that calls stop_xvfb before calling start_xvfb.
#   start_xvfb   sets DISPLAY to a free display of a new Xvfb; stop_xvfb ends it.

start_xvfb() {
  local dir number=
  dir=$(mktemp -d)
  mkfifo "$dir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
  XVFB_PID=$!
  read -r -t 20 number <"$dir/display" || true
  rm -rf "$dir"
  if [ -z "$number" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$number"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
