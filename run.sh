#!/usr/bin/env bash
# Builds a lesson and runs it from build/bin, where its shaders and images are.
#   ./run.sh [LESSON]          LESSON defaults to lesson_ambient
#   ./run.sh --explore LESSON  explore mode, reading the shaders in data/ as you edit them
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
  echo "usage: ./run.sh [LESSON] | ./run.sh --explore LESSON | ./run.sh --help"
  echo "Builds LESSON (default lesson_ambient) and runs it from build/bin."
  echo "  --explore   pause, step, orbit, compare with built-in lighting, switch shaders;"
  echo "              a shader saved in data/ shows in the window at once (needs a display)"
  echo "Lessons:"
  printf '  %s\n' "${lessons[@]}"
}
mode=
lesson=
while [ $# -gt 0 ]; do
  case $1 in
    -h | --help) usage; exit 0 ;;
    --explore | --watch) mode=explore ;;  # --watch: the name of the old restart loop
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
  echo "run.sh: --explore needs a lesson" >&2
  usage >&2
  exit 2
fi
lesson=${lesson:-lesson_ambient}
if [[ ! " ${lessons[*]} " == *" $lesson "* ]]; then
  echo "run.sh: no lesson called '$lesson'" >&2
  usage >&2
  exit 2
fi

if [ "$mode" = explore ] && [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: explore mode needs a display (a desktop session, or ssh -X);" \
    "without one, ./run.sh $lesson saves a screenshot" >&2
  exit 2
fi

tools/deps.sh run
cmake -S . -B build >/dev/null
cmake --build build --parallel "$(nproc)" --target "$lesson" >/dev/null
bin=$root/build/bin

if [ "$mode" = explore ]; then
  # A working folder whose shaders are links to data/: the lesson reads, and
  # rebuilds from, the very files being edited there. The images come from bin.
  explore=$root/build/explore
  rm -rf "$explore"
  mkdir -p "$explore"
  ln -s "$root"/data/*.vert "$root"/data/*.frag "$bin"/tex0.tga "$bin"/tex1.tga "$explore"/
  cd "$explore"
  echo "Explore mode: edit the shaders in data/; each save shows in the window."
  exec "$bin/$lesson" --explore
fi

# The lesson finds its shaders (and images) in its working directory.
if [ -n "${DISPLAY:-}" ]; then
  cd "$bin"
  exec "./$lesson"
fi
exec tools/headless.sh "$bin" "$lesson" "$root/out/$lesson.png"
