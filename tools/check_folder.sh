#!/usr/bin/env bash
# For a teacher: checks every learner's pair in a folder against an
# exercise's target and writes one HTML report (a summary, then per learner
# and probe the answer's picture, the target's, their difference and what a
# failure means), and the same as JUnit XML (a test per learner and probe)
# for CI systems and course platforms. No display needed.
#   tools/check_folder.sh EXERCISE FOLDER [--core] [--report FILE] [--junit FILE]
# FOLDER holds one folder per learner, each with one .vert and one .frag
# (with --core, those of its core/ folder when it has one): ./run.sh
# --exercise's mine/EXERCISE folders, gathered, are such. The report goes to
# FILE (default: EXERCISE-report.html in the current folder), the XML beside
# it (EXERCISE-report.xml). Status 0 when every learner's pair passes, 1 when
# one does not, 2 for a usage error or when the lesson itself fails (no
# display, the exercise's own target missing): its reason is said.
# Each pair is checked by a lesson of its own, for at most CHECK_SECONDS
# (default 60): a pair that crashes the driver or never ends is said in its
# row, and the others' results stand.
set -euo pipefail
usage() {
  echo "usage: $0 EXERCISE FOLDER [--core] [--report FILE] [--junit FILE]" >&2
  exit 2
}
core=()
exercise= folder= report= junit=
while [ $# -gt 0 ]; do
  case $1 in
    --core) core=(--core) ;;
    --report) [ $# -ge 2 ] || usage; report=$2; shift ;;
    --junit) [ $# -ge 2 ] || usage; junit=$2; shift ;;
    -*) usage ;;
    *) if [ -z "$exercise" ]; then exercise=$1; elif [ -z "$folder" ]; then folder=$1; else usage; fi ;;
  esac
  shift
done
[ -n "$exercise" ] && [ -n "$folder" ] || usage
[ -d "$folder" ] || { echo "$0: no folder '$folder'" >&2; exit 2; }
folder=$(cd "$folder" && pwd)
report=${report:-$PWD/$exercise-report.html}
case $report in /*) ;; *) report=$PWD/$report ;; esac
junit=${junit:-${report%.html}.xml}
case $junit in /*) ;; *) junit=$PWD/$junit ;; esac

cd "$(dirname "$0")/.."
. tools/exercises.sh
. tools/build.sh
. tools/xvfb.sh
tools/deps.sh teacher
build_desktop "$exercise_reader"
lesson=$(exercise_lesson "$exercise") || exit 2
build_desktop "$lesson"

# Each learner's pair: the folder's one .vert and one .frag. Every learner
# gets a folder of the scratch one (1, 2, …) with their name in it; the
# lesson's verdict goes there as JSON, read by tools/folder_report.py.
scratch=$(mktemp -d)
finish() {
  stop_xvfb
  rm -rf "$scratch"
}
trap finish EXIT
learners=() pairs=() count=0
for dir in "$folder"/*/; do
  name=$(basename "$dir")
  [ ${#core[@]} -eq 0 ] || [ ! -d "$dir/core" ] || dir=$dir/core/
  shopt -s nullglob
  verts=("$dir"*.vert) frags=("$dir"*.frag)
  shopt -u nullglob
  count=$((count + 1))
  mkdir "$scratch/$count"
  printf '%s' "$name" >"$scratch/$count/name"
  if [ ${#verts[@]} -eq 1 ] && [ ${#frags[@]} -eq 1 ]; then
    learners+=("$count")
    pairs+=(--pair "${verts[0]}" "${frags[0]}")
  else
    : >"$scratch/$count/missing"
  fi
done

seconds=${CHECK_SECONDS:-60}
if [ ${#learners[@]} -gt 0 ]; then
  [ -n "${DISPLAY:-}" ] || start_xvfb
  for ((i = 0; i < ${#learners[@]}; i++)); do
    at=$scratch/${learners[i]} one=0
    echo "Checking $((i + 1)) of ${#learners[@]}: $(cat "$at/name")" >&2
    (cd build/bin && exec timeout -k 5 "$seconds" "./$lesson" "${core[@]}" --check "$exercise" --json \
      "${pairs[@]:3*i:3}" --pictures "$at") >"$at/check.json" 2>"$at/err.txt" || one=$?
    case $one in
      0 | 1) ;;
      2) [ -s "$at/check.json" ] || break ;;  # a pair of the other way of drawing, or the exercise is wrong
      124 | 137) echo "its check did not end in $seconds s (an endless loop in a shader?)" >"$at/ended" ;;
      *) echo "its check ended with status $one$([ $one -lt 128 ] || echo " (signal $((one - 128)): the driver crashed on it)")" >"$at/ended" ;;
    esac
  done
fi

# The lessons write their pictures plainly (stored, uncompressed): compressed
# here, into a report a browser opens at once.
shopt -s nullglob
pictures=("$scratch"/*/*.png)
shopt -u nullglob
[ ${#pictures[@]} -eq 0 ] || mogrify -strip "${pictures[@]}"

profile=GLSL\ 1.10
[ ${#core[@]} -eq 0 ] || profile="the core profile"
python3 tools/folder_report.py "$exercise" "$profile" "$scratch" "$report" "$junit"
