#!/usr/bin/env bash
# Builds a lesson and runs it from build/bin, where its shaders and images are.
#   ./run.sh [LESSON]          LESSON defaults to lesson_ambient
#   ./run.sh --watch LESSON    run again each time one of its shaders in data/ is saved
#   ./run.sh --help            this text and the lessons
# With no display ($DISPLAY empty) the lesson draws on a private Xvfb for a
# moment; a screenshot of its window is saved and the lesson ended with Escape.
# Only the lesson and the files it reads are built: no tests, no benchmarks.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

# The lessons are the folders under lessons/.
lessons=()
for dir in lessons/*/; do lessons+=("$(basename "$dir")"); done
usage() {
  echo "usage: ./run.sh [--watch] LESSON | ./run.sh [LESSON] | ./run.sh --help"
  echo "Builds LESSON (default lesson_ambient) and runs it from build/bin."
  echo "  --watch   run it again each time one of its shaders in data/ is saved"
  echo "Lessons:"
  printf '  %s\n' "${lessons[@]}"
}
mode=
lesson=
while [ $# -gt 0 ]; do
  case $1 in
    -h | --help) usage; exit 0 ;;
    --watch) mode=watch ;;
    -*) echo "run.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
    *)
      if [ -n "$lesson" ]; then
        echo "run.sh: one lesson at a time ('$lesson', then '$1')" >&2
        usage >&2
        exit 2
      fi
      lesson=$1
      ;;
  esac
  shift
done
if [ -n "$mode" ] && [ -z "$lesson" ]; then
  echo "run.sh: --$mode needs a lesson" >&2
  usage >&2
  exit 2
fi
lesson=${lesson:-lesson_ambient}
if [[ ! " ${lessons[*]} " == *" $lesson "* ]]; then
  echo "run.sh: no lesson called '$lesson'" >&2
  usage >&2
  exit 2
fi

if [ "$mode" = watch ]; then
  tools/deps.sh watch
else
  tools/deps.sh run
fi
cmake -S . -B build >/dev/null
cmake --build build --parallel "$(nproc)" --target "$lesson" >/dev/null
bin=$root/build/bin

if [ "$mode" = watch ]; then
  exec tools/watch.sh "$lesson"
fi

# The lesson finds its shaders (and images) in its working directory.
if [ -n "${DISPLAY:-}" ]; then
  cd "$bin"
  exec "./$lesson"
fi
exec tools/headless.sh "$bin" "$lesson" "$root/out/$lesson.png"
