# Sourced by the scripts that need a display: a private Xvfb that they start
# and stop. Set a trap that calls stop_xvfb before calling start_xvfb.
#   start_xvfb   sets DISPLAY to a free display of a new Xvfb; stop_xvfb ends it.
# Xvfb tells its display number through a pipe of the shell's own, so nothing
# is left in the temporary folder whenever the script is interrupted.

start_xvfb() {
  local number=
  # -noreset: an X server resets when its last client leaves, and a client
  # that connects meanwhile is refused ("failed to open display"): the window
  # search of xdotool, polling while the lesson starts, is such a last client.
  coproc XVFB_PIPE { exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null; }
  XVFB_PID=$XVFB_PIPE_PID
  read -r -t 20 number <&"${XVFB_PIPE[0]}" || true
  if [ -z "$number" ]; then
    echo "Xvfb did not start (is the xvfb package installed?)" >&2
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
