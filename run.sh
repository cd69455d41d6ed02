#!/usr/bin/env bash
# Builds a lesson and runs it from build/bin, where its shaders and images are.
#   ./run.sh [LESSON]          LESSON defaults to lesson_ambient
#   ./run.sh --explore LESSON  explore mode, reading the shaders in data/ as you edit them;
#                              screenshots go to out/
#   ./run.sh --core LESSON     the lesson in the core profile, with its pair from data/core/
#                              (with --explore too)
#   ./run.sh --web [LESSON]    every lesson on a web page (WebGL 2), with a shader editor:
#                              built into build-web/page and served on 127.0.0.1
#   ./run.sh --exercises       the exercises, and how far you got with each
#   ./run.sh [--core] --exercise NAME
#                              an exercise: its starting pair copied into mine/NAME/
#                              (never over a file there), explore mode on it, every
#                              save checked against the target
#   ./run.sh --check NAME [--core] [--json] VERT FRAG
#                              checks a pair against the exercise's target: the likely
#                              mistake, then one line a probe (with --json, one JSON
#                              object); status 0 when every probe passes (no display needed)
#   ./run.sh --help            this text and the lessons
# With no display ($DISPLAY empty) the lesson starts on a private Xvfb and
# draws one picture, its teapot turned by 30 degrees, into out/LESSON.png
# (out/LESSON-core.png with --core).
# Only the lesson and the files it reads are built: no tests, no benchmarks.
set -euo pipefail
here=$PWD  # where the learner is: files they name are found from here
cd "$(dirname "$0")"
root=$PWD
. tools/build.sh

# The lessons are the folders under lessons/.
lessons=()
for dir in lessons/*/; do lessons+=("$(basename "$dir")"); done
usage() {
  echo "usage: ./run.sh [--core] [LESSON] | ./run.sh [--core] --explore LESSON | ./run.sh --web [LESSON]"
  echo "       ./run.sh --exercises | ./run.sh [--core] --exercise NAME | ./run.sh --check NAME [--core] [--json] VERT FRAG"
  echo "       ./run.sh --help"
  echo "Builds LESSON (default lesson_ambient) and runs it from build/bin."
  echo "  --explore   pause, step, orbit, compare with built-in lighting, switch shaders;"
  echo "              a shader saved in data/ shows in the window at once (needs a display)"
  echo "  --core      the OpenGL 3.3 core profile: no built-in state, the shaders of data/core/"
  echo "  --web       the lessons on a web page with a shader editor, served on 127.0.0.1"
  echo "  --exercise  an exercise in your own folder, mine/NAME/, checked at every save"
  echo "  --check     a pair checked against an exercise's target (for a teacher, or a script;"
  echo "              --json: the verdict as one JSON object)"
  echo "Lessons:"
  printf '  %s\n' "${lessons[@]}"
}
mode=
option=  # --explore, or --watch as the learner typed it
core=()   # --core, handed on to the lesson
lesson=
given=0
exercise=
pair=()  # --check's VERT and FRAG
json=()
while [ $# -gt 0 ]; do
  case $1 in
    -h | --help) usage; exit 0 ;;
    --explore | --watch) mode=explore option=$1 ;;  # --watch: another name for it
    --core) core=(--core) ;;
    --json) json=(--json) ;;  # with --check: the verdict as one JSON object
    --web) mode=web option=$1 ;;
    --exercises) mode=exercises option=$1 ;;
    --exercise | --check)
      mode=${1#--} option=$1
      [ $# -ge 2 ] || { echo "run.sh: $1 needs an exercise's name (./run.sh --exercises lists them)" >&2; exit 2; }
      exercise=$2
      shift
      ;;
    -*) echo "run.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
    *) if [ "$mode" = check ]; then pair+=("$1"); shift; continue; fi ;;&
    *)
      if [ $given = 1 ]; then
        echo "run.sh: one lesson at a time ('$lesson', then '$1')" >&2
        usage >&2
        exit 2
      fi
      lesson=$1
      given=1
      ;;
  esac
  shift
done
if [ "$mode" = exercise ] && [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: --exercise needs a display (a desktop session, or ssh -X); without one," \
    "./run.sh --check $exercise VERT FRAG checks a pair" >&2
  exit 2
fi
. tools/exercises.sh
case $mode in
  exercises | exercise | check)  # the lessons' program reads the exercises
    tools/deps.sh run
    build_desktop "$exercise_reader"
    ;;&
  exercises) list_exercises || exit 2; exit 0 ;;
  exercise | check)
    lesson=$(exercise_lesson "$exercise") || exit 2
    given=1
    if [ "$mode" = check ] && [ ${#pair[@]} -ne 2 ]; then
      echo "run.sh: --check $exercise wants two files, VERT and FRAG" >&2
      exit 2
    fi
    ;;
esac
if [ "$mode" = explore ] && [ $given = 0 ]; then
  echo "run.sh: $option needs a lesson" >&2
  usage >&2
  exit 2
fi
[ $given = 1 ] || lesson=lesson_ambient
known=0
for name in "${lessons[@]}"; do [ "$name" != "$lesson" ] || known=1; done
if [ $known = 0 ]; then
  echo "run.sh: no lesson called '$lesson'" >&2
  usage >&2
  exit 2
fi

if [ "$mode" = web ]; then
  # The page is self-contained: build-web/page can go on any static web host.
  tools/deps.sh web
  build_page
  [ $given = 1 ] || lesson=
  exec python3 tools/serve.py "$root/build-web/page" $lesson
fi

if [ "$mode" = explore ] && [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: $option needs a display (a desktop session, or ssh -X);" \
    "without one, ./run.sh $lesson saves a screenshot" >&2
  exit 2
fi

tools/deps.sh run
build_desktop "$lesson"
bin=$root/build/bin

if [ "$mode" = exercise ]; then
  folder=$(exercise_folder "$exercise" "$bin" "${core[@]}") || exit 1
  cd "$folder"
  exec "$bin/$lesson" "${core[@]}" --explore --exercise "$exercise"
fi
if [ "$mode" = check ]; then
  files=()
  for file in "${pair[@]}"; do
    case $file in /*) ;; *) file=$here/$file ;; esac
    [ -f "$file" ] || { echo "run.sh: no file '$file'" >&2; exit 2; }
    files+=("$(cd "$(dirname "$file")" && pwd)/$(basename "$file")")
  done
  cd "$bin"
  if [ -z "${DISPLAY:-}" ]; then
    . "$root/tools/xvfb.sh"
    trap stop_xvfb EXIT
    start_xvfb
  fi
  # A check has a time limit (CHECK_SECONDS, 60 by default): a shader that
  # never ends is said, not waited for.
  seconds=${CHECK_SECONDS:-60}
  status=0
  timeout -k 5 "$seconds" "./$lesson" "${core[@]}" --check "$exercise" "${json[@]}" --pair "${files[@]}" ||
    status=$?
  if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    echo "run.sh: the check did not end in $seconds s (an endless loop in a shader?)" >&2
    status=1
  fi
  exit $status
fi

if [ "$mode" = explore ]; then
  # Run in build/bin, the lesson knows the project: it reads and watches the
  # shaders in data/ themselves, and saves its screenshots in out/. Any number
  # of these can run side by side; none makes or removes a file of another.
  cd "$bin"
  exec "./$lesson" "${core[@]}" --explore
fi

# The lesson finds its shaders (and images) in its working directory.
if [ -n "${DISPLAY:-}" ]; then
  cd "$bin"
  exec "./$lesson" "${core[@]}"
fi
shot=$root/out/$lesson.png
[ ${#core[@]} -eq 0 ] || shot=$root/out/$lesson-core.png
exec tools/headless.sh "$bin" "$lesson" "$shot" "${core[@]}"
