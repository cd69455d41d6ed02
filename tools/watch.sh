#!/usr/bin/env bash
# The edit-and-see loop behind ./run.sh --watch LESSON: runs the lesson from
# build/bin and, each time one of its shader files in data/ is saved, copies
# the new text beside the program, ends the lesson and starts it again, so a
# compile error shows here at once and a fix shows in the window. Ctrl-C stops.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 1 ] || [ ! -f "lessons/$1/main.cpp" ]; then
  echo "usage: $0 LESSON   (one of: $(cd lessons && echo */ | tr -d /))" >&2
  exit 2
fi
lesson=$1
bin=$PWD/build/bin
# The lesson's shader files, as its own row names them.
cmake --build build --target "${lesson}_row" >/dev/null
eval "$(build/rows/"${lesson}_row")"
for name in "$vertex" "$fragment"; do
  [ -f "data/$name" ] || { echo "watch: $lesson reads $name, which is not in data/" >&2; exit 1; }
done

pid=
watcher=
stop() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
  fi
}
finish() {
  stop
  [ -z "$watcher" ] || kill "$watcher" 2>/dev/null || true
  stop_xvfb
}
. tools/xvfb.sh
trap finish EXIT
trap 'exit 0' INT TERM
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  echo "No display: the lesson draws on a private Xvfb ($DISPLAY); its messages still show here."
fi
start() {
  (cd "$bin" && exec "./$lesson") &
  pid=$!
}

echo "Watching data/$vertex and data/$fragment. Save either to see the change; Ctrl-C stops."
start
exec 3< <(inotifywait -q -m -e close_write,moved_to --format '%f' data/)
watcher=$!
while read -r name <&3; do
  [ "$name" = "$vertex" ] || [ "$name" = "$fragment" ] || continue
  cp "data/$name" "$bin/$name"
  echo "== $name saved: starting $lesson again"
  stop
  start
done
echo "watch: the file watcher ended" >&2
exit 1
