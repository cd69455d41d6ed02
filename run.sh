#!/usr/bin/env bash
# Builds the lessons and runs one of them.
#   ./run.sh [LESSON]          LESSON defaults to lesson_ambient
#   ./run.sh --watch LESSON    run again each time one of its shaders in data/ is saved
# With no display ($DISPLAY empty) the lesson draws on a private Xvfb for a
# moment; a screenshot of its window is saved and the lesson ended with Escape.
set -euo pipefail
cd "$(dirname "$0")"

lessons=(lesson_ambient lesson_diffuse lesson_per_vertex lesson_specular lesson_texturing lesson_texturing_lit)
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

tools/deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target "$lesson" >/dev/null
bin=$PWD/build/bin

if [ $watch -eq 1 ]; then
  exec tools/watch.sh "$lesson"
fi

# The lesson finds its shaders (and images) in its working directory.
cd "$bin"
if [ -n "${DISPLAY:-}" ]; then
  exec "./$lesson"
fi

. "$OLDPWD/tools/xvfb.sh"
start_xvfb
trap stop_xvfb EXIT
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
status=
if [ -n "$window" ]; then
  sleep 2  # let it turn for a moment
  mkdir -p "$OLDPWD/out"
  shot="$OLDPWD/out/$lesson.png"
  import -window "$window" "$shot"
  echo "Screenshot: $shot"
  xdotool key --window "$window" Escape 2>/dev/null || true
fi
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill "$pid" 2>/dev/null || true
wait "$pid" && status=0 || status=$?
echo "$lesson exited with status $status."
exit "$status"
