#!/usr/bin/env bash
# Builds everything and runs the whole test suite under a private Xvfb.
#   ./test.sh            everything
#   ./test.sh --quick    the normal build's quick tests only, for iterating
# Further arguments go to ctest (for example -R reference_frame).
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

quick=0
if [ "${1:-}" = "--quick" ]; then
  quick=1
  shift
fi

tools/deps.sh test
jobs=$(nproc)
started=$SECONDS
step() { printf '\n=== %s (%d s)\n' "$*" $((SECONDS - started)); }

. tools/xvfb.sh
start_xvfb
trap stop_xvfb EXIT

step "Build"
cmake -S . -B build -DLESSONS_WERROR=ON >/dev/null
cmake --build build --parallel "$jobs"

status=0
run_ctest() {  # run_ctest BUILD_DIR [ctest args...]
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" "$@" || status=1
}

if [ $quick -eq 1 ]; then
  step "Quick tests"
  run_ctest build -L quick "$@"
  exit $status
fi

step "Windows build of lesson_ambient (mingw-w64), tested under wine"
tools/build-windows.sh
# A fresh wine prefix for this run.
export WINEPREFIX=$root/build-windows/wineprefix WINEDEBUG=-all,err+module WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
wine wineboot --init >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true; stop_xvfb' EXIT
cmake -S . -B build -DLESSONS_WINDOWS_BIN="$root/build-windows/bin" >/dev/null

step "Tests"
run_ctest build "$@"

step "Sanitizers: ASan, LSan and UBSan build, unit and end-to-end tests"
cmake -S . -B build-asan -DLESSONS_SANITIZE=ON -DLESSONS_WERROR=ON >/dev/null
cmake --build build-asan --parallel "$jobs"
run_ctest build-asan -L "unit|e2e" -LE soak "$@"

step "Fuzzing the TGA reader (clang, libFuzzer, ASan, UBSan)"
tools/fuzz.sh 60 || status=1

step "Done"
exit $status
