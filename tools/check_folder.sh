#!/usr/bin/env bash
# For a teacher: checks every learner's pair in a folder against an
# exercise's target and writes one HTML report (a summary, then per learner
# and probe the answer's picture, the target's, their difference and what a
# failure means). No display needed.
#   tools/check_folder.sh EXERCISE FOLDER [--core] [--report FILE]
# FOLDER holds one folder per learner, each with one .vert and one .frag
# (with --core, those of its core/ folder when it has one): ./run.sh
# --exercise's mine/EXERCISE folders, gathered, are such. The report goes to
# FILE (default: EXERCISE-report.html in the current folder). Status 0 when
# every learner's pair passes, 1 when one does not, 2 for a usage error.
# Each pair is checked by a lesson of its own, for at most CHECK_SECONDS
# (default 60): a pair that crashes the driver or never ends is said in its
# row, and the others' results stand.
set -euo pipefail
usage() {
  echo "usage: $0 EXERCISE FOLDER [--core] [--report FILE]" >&2
  exit 2
}
core=()
exercise= folder= report=
while [ $# -gt 0 ]; do
  case $1 in
    --core) core=(--core) ;;
    --report) [ $# -ge 2 ] || usage; report=$2; shift ;;
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

cd "$(dirname "$0")/.."
. tools/exercises.sh
. tools/build.sh
. tools/xvfb.sh
tools/deps.sh run
build_desktop "$exercise_reader"
lesson=$(exercise_lesson "$exercise") || exit 2
build_desktop "$lesson"

# Each learner's pair: the folder's one .vert and one .frag.
learners=() pairs=() missing=()
for dir in "$folder"/*/; do
  name=$(basename "$dir")
  [ ${#core[@]} -eq 0 ] || [ ! -d "$dir/core" ] || dir=$dir/core/
  shopt -s nullglob
  verts=("$dir"*.vert) frags=("$dir"*.frag)
  shopt -u nullglob
  if [ ${#verts[@]} -eq 1 ] && [ ${#frags[@]} -eq 1 ]; then
    learners+=("$name")
    pairs+=(--pair "${verts[0]}" "${frags[0]}")
  else
    missing+=("$name")
  fi
done

scratch=$(mktemp -d)
finish() {
  stop_xvfb
  rm -rf "$scratch"
}
trap finish EXIT
status=0
seconds=${CHECK_SECONDS:-60}
ended=()  # per learner: "" when its check ended by itself, else why not
if [ ${#learners[@]} -gt 0 ]; then
  [ -n "${DISPLAY:-}" ] || start_xvfb
  for ((i = 0; i < ${#learners[@]}; i++)); do
    pair=$((i + 1)) one=0
    mkdir "$scratch/$pair"
    (cd build/bin && exec timeout -k 5 "$seconds" "./$lesson" "${core[@]}" --check "$exercise" \
      "${pairs[@]:3*i:3}" --pictures "$scratch/$pair") >"$scratch/$pair/out.txt" 2>"$scratch/$pair/err.txt" || one=$?
    case $one in
      0 | 1) ended+=("") ;;
      2) cat "$scratch/$pair/err.txt" >&2; exit 2 ;;  # the exercise itself is wrong
      124 | 137) ended+=("its check did not end in $seconds s (an endless loop in a shader?)") ;;
      *) ended+=("its check ended with status $one$([ $one -lt 128 ] || echo " (signal $((one - 128)): the driver crashed on it)")") ;;
    esac
    [ $one -eq 0 ] || status=1
  done
fi

# The lessons write their pictures plainly (stored, uncompressed): compressed
# here, into a report a browser opens at once.
shopt -s nullglob
pictures=("$scratch"/*/*.png)
shopt -u nullglob
[ ${#pictures[@]} -eq 0 ] || mogrify -strip "${pictures[@]}"

html() { sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g'; }
image() { [ -f "$1" ] && printf '<img alt="" src="data:image/png;base64,%s">' "$(base64 -w0 "$1")"; }
{
  profile=GLSL\ 1.10
  [ ${#core[@]} -eq 0 ] || profile="the core profile"
  echo "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
  echo "<title>$exercise: the learners' answers</title><style>"
  echo "body{font-family:sans-serif;margin:2em} td,th{padding:.2em .6em;text-align:left;vertical-align:top}"
  echo ".pass{color:#176317} .fail{color:#a31515} img{width:160px;height:160px;border:1px solid #ccc}"
  echo "</style></head><body><h1>$exercise ($profile): the learners' answers</h1>"
  echo "<p>Each pair drawn in the exercise's probe scenes beside the target; the difference"
  echo "shows in red the pixels that differ beyond the tolerance.</p><h2>Summary</h2><table>"
  echo "<tr><th>Learner</th><th>Probes that pass</th></tr>"
  pair=0
  for name in "${learners[@]}"; do
    pair=$((pair + 1))
    # Each learner's own check: its probe lines, counted.
    read -r passed total < <(awk '/^(pass|FAIL) / && !/^FAIL  the pair does not build/ {
        total++; if ($1 == "pass") passed++ } END { print passed + 0, total + 0 }' "$scratch/$pair/out.txt")
    class=fail
    [ "$total" -eq 0 ] || [ "$passed" -ne "$total" ] || class=pass
    counted="$passed of $total"
    [ "$total" -gt 0 ] || counted="the pair does not build"
    [ -z "${ended[pair - 1]}" ] || counted=${ended[pair - 1]}
    echo "<tr><td><a href=\"#$pair\">$(html <<<"$name")</a></td><td class=\"$class\">$counted</td></tr>"
  done
  for name in "${missing[@]}"; do
    echo "<tr><td>$(html <<<"$name")</td><td class=\"fail\">no pair: one .vert and one .frag wanted</td></tr>"
  done
  echo "</table>"
  pair=0
  for name in "${learners[@]}"; do
    pair=$((pair + 1))
    echo "<h2 id=\"$pair\">$(html <<<"$name")</h2><p>In each row: the answer, the target, their difference.</p><table>"
    [ -z "${ended[pair - 1]}" ] || echo "<tr><td class=\"fail\">$(html <<<"${ended[pair - 1]}")</td></tr>"
    # What the lesson said of the pair on standard error: the compiler's log.
    [ ! -s "$scratch/$pair/err.txt" ] || echo "<tr><td><pre>$(html <"$scratch/$pair/err.txt")</pre></td></tr>"
    awk '/ against .*\):$/ { next } 1' "$scratch/$pair/out.txt" | while IFS= read -r line; do
      case $line in
        pass\ * | FAIL\ *)
          probe=$(awk '{ print $2 }' <<<"$line")
          kind=${line%% *}
          echo "<tr><td class=\"$([ "$kind" = pass ] && echo pass || echo fail)\">$(html <<<"$line")</td></tr><tr><td>"
          for picture in answer target difference; do image "$scratch/$pair/1-$probe-$picture.png" || true; done
          echo "</td></tr>"
          ;;
        *) echo "<tr><td><pre>$(html <<<"$line")</pre></td></tr>" ;;
      esac
    done
    echo "</table>"
  done
  echo "</body></html>"
} >"$report.part"
mv "$report.part" "$report"
echo "Report: $report (${#learners[@]} pairs checked, ${#missing[@]} folders without a pair)"
[ ${#missing[@]} -eq 0 ] || status=1
exit $((status == 0 ? 0 : 1))
