#!/usr/bin/env bash
# Builds a lesson and runs it.
#   ./run.sh [LESSON]          LESSON defaults to lesson_ambient
#   ./run.sh --watch LESSON    run again each time one of its shaders in data/ is saved
# With no display ($DISPLAY empty) the lesson draws on a private Xvfb for a
# moment; a screenshot of its window is saved and the lesson ended with Escape.
# Only the lesson and the files it reads are built: no tests, no benchmarks.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

# The lessons are the folders under lessons/.
lessons=()
for dir in lessons/*/; do lessons+=("$(basename "$dir")"); done
watch=0
if [ "${1:-}" = "--watch" ]; then
  watch=1
  shift
fi
lesson=${1:-lesson_ambient}
if [[ ! " ${lessons[*]} " == *" $lesson "* ]]; then
  echo "No lesson called '$lesson'. The lessons are:" >&2
  printf '  %s\n' "${lessons[@]}" >&2
  exit 2
fi

if [ $watch -eq 1 ]; then
  tools/deps.sh watch
else
  tools/deps.sh run
fi
cmake -S . -B build >/dev/null
cmake --build build --parallel "$(nproc)" --target "$lesson" >/dev/null
bin=$root/build/bin

if [ $watch -eq 1 ]; then
  exec tools/watch.sh "$lesson"
fi

# The lesson finds its shaders (and images) in its working directory.
cd "$bin"
if [ -n "${DISPLAY:-}" ]; then
  exec "./$lesson"
fi

. "$root/tools/xvfb.sh"
pid=
finish() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  stop_xvfb
}
trap finish EXIT
start_xvfb
echo "No display: running $lesson on a private Xvfb ($DISPLAY)."
"./$lesson" &
pid=$!
window=
for _ in $(seq 100); do
  # The private display holds only the lesson's window.
  window=$(xdotool search --name '.+' 2>/dev/null | head -1) && [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -n "$window" ]; then
  sleep 2  # let it turn for a moment
  mkdir -p "$root/out"
  shot="$root/out/$lesson.png"
  import -window "$window" "$shot"
  echo "Screenshot: $shot"
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
echo "$lesson exited with status $status."
exit "$status"
