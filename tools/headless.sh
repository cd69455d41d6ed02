#!/usr/bin/env bash
# Runs a lesson where there is no display: on a private Xvfb, from FOLDER (its
# working folder); it draws one 400 x 400 picture of its teapot turned by 30
# degrees into SHOT and ends; prints its exit status, which is also this
# script's. A lesson that fails (a shader error, say) gives its own message
# and status, and leaves no SHOT, not even an earlier run's.
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
echo "No display: running $program${*:+ $*} on a private Xvfb ($DISPLAY)."
cd "$folder"
# The lesson starts as it always does (its messages and status are its own),
# then draws one picture off screen, the teapot turned by 30 degrees: the same
# every run, and the same in either profile.
"./$program" "$@" --picture "$shot" --angle 30 &
pid=$!
status=0
wait "$pid" || status=$?
pid=
if [ "$status" -eq 0 ] && [ -s "$shot" ]; then
  # The lesson writes it plainly (stored, uncompressed): a twentieth the size.
  mogrify -strip -define png:compression-level=9 "$shot" 2>/dev/null || true
  echo "Screenshot: $shot"
else
  # An earlier run's picture would pass for this one's.
  rm -f "$shot"
  echo "No screenshot: $program ended with status $status before drawing it." >&2
fi
echo "$program exited with status $status."
exit "$status"
