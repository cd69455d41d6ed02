#!/usr/bin/env bash
# Builds the lessons and their fixed-function twins and compares them, then
# each lesson in the core profile against its built-in run, then times the
# edit loop (explore mode against a restart), a learner's habits (screenshots
# among thousands, two ./run.sh at once), then the web page against the
# desktop's core profile:
#   bench/run.sh [--rounds N]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/build.sh
tools/deps.sh test
build_desktop
python3 bench/lessons_bench.py --bin build/bin --tools build/tests "$@"
python3 bench/core_bench.py --bin build/bin --tools build/tests "$@"
python3 bench/edit_loop.py --bin build/bin --tools build/tests
python3 bench/habits_bench.py --bin build/bin --tools build/tests "$@"
python3 bench/exercises_bench.py --bin build/bin "$@"
tools/deps.sh web
build_page
python3 bench/web_bench.py --bin build/bin --tools build/tests --page build-web/page "$@"
python3 bench/web_edit_bench.py --page build-web/page
