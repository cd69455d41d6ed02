#!/usr/bin/env bash
# Runs a lesson where there is no display: on a private Xvfb, from FOLDER (its
# working folder), for a moment; saves a screenshot of its whole window as
# SHOT, ends it with Escape and prints its exit status, which is also this
# script's. A lesson that ends by itself (a shader error, say) gives its own
# message and status, with or without a screenshot.
#   tools/headless.sh FOLDER PROGRAM SHOT [ARGUMENT...]   (ARGUMENTs go to PROGRAM)
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 FOLDER PROGRAM SHOT [ARGUMENT...]" >&2
  exit 2
fi
folder=$1 program=$2 shot=$3
shift 3
case $shot in /*) ;; *) shot=$PWD/$shot ;; esac  # as the caller meant it, before the cd below
[ -d "$folder" ] || { echo "headless: no folder $folder" >&2; exit 2; }
[ -x "$folder/$program" ] || { echo "headless: no program $folder/$program" >&2; exit 2; }
mkdir -p "$(dirname "$shot")" || { echo "headless: cannot make the folder of $shot" >&2; exit 2; }
. "$(dirname "$0")/xvfb.sh"
pid=
finish() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  stop_xvfb
}
trap finish EXIT
trap 'exit 130' INT TERM
start_xvfb
echo "No display: running $program on a private Xvfb ($DISPLAY)."
cd "$folder"
"./$program" "$@" &
pid=$!
window=
for _ in $(seq 100); do
  # The private display holds only the lesson's window.
  window=$(xdotool search --name '.+' 2>/dev/null | head -1) && [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -n "$window" ]; then
  # No window manager places it: put it where the screenshot sees all of it.
  xdotool windowmove "$window" 0 0 2>/dev/null || true
  sleep 2  # let it turn for a moment
  rm -f "$shot"
  # import waits for a click when the window has gone: never let it wait.
  if kill -0 "$pid" 2>/dev/null && timeout 20 import -window "$window" "$shot" 2>/dev/null && [ -s "$shot" ]; then
    echo "Screenshot: $shot"
  else
    rm -f "$shot"
    echo "No screenshot: $program ended before it could be taken." >&2
  fi
  xdotool key --window "$window" Escape 2>/dev/null || true
fi
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill "$pid" 2>/dev/null || true
status=0
wait "$pid" || status=$?
pid=
echo "$program exited with status $status."
exit "$status"
