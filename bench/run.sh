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
python3 -m bench.lessons_bench --bin build/bin --tools build/tests "$@"
python3 -m bench.core_bench --bin build/bin --tools build/tests "$@"
python3 -m bench.edit_loop --bin build/bin --tools build/tests
python3 -m bench.habits_bench --bin build/bin --tools build/tests "$@"
python3 -m bench.exercises_bench --bin build/bin "$@"
python3 -m bench.class_bench
tools/deps.sh web
build_page
python3 -m bench.web_bench --bin build/bin --tools build/tests --page build-web/page "$@"
python3 -m bench.web_edit_bench --page build-web/page
