#!/usr/bin/env bash
# The edit-and-see loop behind ./run.sh --watch LESSON: runs the lesson from
# build/bin and, each time one of its shader files in data/ is saved, copies
# the new text beside the program, ends the lesson and starts it again, so a
# compile error shows here at once and a fix shows in the window. Ctrl-C stops.
set -euo pipefail
cd "$(dirname "$0")/.."
lesson=$1
bin=$PWD/build/bin
# The lesson's shader files, read from its row of the lesson table.
vert=$(grep -o '"[A-Za-z0-9_]*\.vert"' "lessons/$lesson/main.cpp" | tr -d '"')
frag=$(grep -o '"[A-Za-z0-9_]*\.frag"' "lessons/$lesson/main.cpp" | tr -d '"')

if [ -z "${DISPLAY:-}" ]; then
  . tools/xvfb.sh
  start_xvfb
  echo "No display: the lesson draws on a private Xvfb ($DISPLAY); its messages still show here."
fi

pid=
start() {
  (cd "$bin" && exec "./$lesson") &
  pid=$!
}
stop() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
  fi
  [ -n "$pid" ] && { wait "$pid" 2>/dev/null || true; }
  pid=
}
finish() {
  stop
  [ -n "${XVFB_PID:-}" ] && stop_xvfb
  exit 0
}
trap finish INT TERM

echo "Watching data/$vert and data/$frag. Save either to see the change; Ctrl-C stops."
start
while read -r name; do
  [ "$name" = "$vert" ] || [ "$name" = "$frag" ] || continue
  cp "data/$name" "$bin/$name"
  echo "== $name saved: starting $lesson again"
  stop
  start
done < <(inotifywait -q -m -e close_write,moved_to --format '%f' data/)
