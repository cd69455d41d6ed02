#!/usr/bin/env bash
# Builds everything and runs the whole test suite under a private Xvfb.
#   ./test.sh                 everything, then both again on bare Debian 12 and 13
#   ./test.sh --quick         the normal build's quick tests only, for iterating
#   ./test.sh --no-cleanroom  everything but the bare-Debian runs (what they run inside)
# Further arguments go to ctest (for example -R reference_frame).
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

# The tests see the same environment whoever starts them: no desktop's
# DISPLAY, XAUTHORITY or WAYLAND_DISPLAY, no locale of the caller's.
if [ "${LESSONS_CLEAN_ENV:-}" != 1 ]; then
  keep=(LESSONS_CLEAN_ENV=1 "HOME=$HOME" "PATH=$PATH" LANG=C.UTF-8 "USER=$(id -un)" "LOGNAME=$(id -un)")
  for name in TERM TMPDIR http_proxy https_proxy no_proxy UPDATE_REFERENCES UPDATE_GALLERY; do
    [ -z "${!name:-}" ] || keep+=("$name=${!name}")
  done
  exec env -i "${keep[@]}" bash "$0" "$@"
fi

mode=full
case "${1:-}" in
  --quick) mode=quick; shift ;;
  --no-cleanroom) mode=inner; shift ;;
esac

tools/deps.sh test
jobs=$(nproc)
started=$SECONDS
step() { printf '\n=== %s (%d s)\n' "$*" $((SECONDS - started)); }

. tools/xvfb.sh
finish() {
  [ $mode = quick ] || WINEPREFIX=$root/build-windows/wineprefix wineserver -k 2>/dev/null || true
  stop_xvfb
}
trap finish EXIT
start_xvfb

step "Build"
cmake -S . -B build -DLESSONS_WERROR=ON -DLESSONS_ALL_TESTS=ON >/dev/null
cmake --build build --parallel "$jobs"

status=0
run_ctest() {  # run_ctest BUILD_DIR [ctest args...]
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" "$@" || status=1
}

if [ $mode = quick ]; then
  step "Quick tests"
  run_ctest build -L quick "$@"
  exit $status
fi

step "Windows build of lesson_ambient (mingw-w64), tested under wine"
tools/build-windows.sh
# A fresh wine prefix for this run; the tests name it themselves, so a later
# plain ctest finds it too.
prefix=$root/build-windows/wineprefix
rm -rf "$prefix"
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init >/dev/null 2>&1
cmake -S . -B build -DLESSONS_WINDOWS_BIN="$root/build-windows/bin" >/dev/null

step "Tests"
run_ctest build "$@"

step "Sanitizers: ASan, LSan and UBSan build, unit and end-to-end tests"
cmake -S . -B build-asan -DLESSONS_SANITIZE=ON -DLESSONS_WERROR=ON -DLESSONS_ALL_TESTS=ON >/dev/null
cmake --build build-asan --parallel "$jobs"
run_ctest build-asan -L "unit|e2e" -LE soak "$@"

step "Fuzzing the TGA reader (clang, libFuzzer, ASan, UBSan)"
tools/fuzz.sh 60 || status=1

if [ $mode = full ]; then
  # CI's machine is Debian 12 and holds every package already: only a bare
  # root shows what a newcomer's machine does with the two commands.
  step "Clean room: bare Debian 12, ./run.sh and ./test.sh --quick"
  tools/cleanroom.sh bookworm || status=1
  step "Clean room: bare Debian 13, ./run.sh and the full ./test.sh"
  tools/cleanroom.sh --full trixie || status=1
fi

step "Done"
exit $status
