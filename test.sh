#!/usr/bin/env bash
# Builds everything and runs the whole test suite under a private Xvfb.
#   ./test.sh                 everything (the web page in headless Chromium too), then
#                             again on bare Debian 12 (quick) and 13 (everything)
#   ./test.sh --quick         the normal build's quick tests only, for iterating
#   ./test.sh --quick --web   and the web page's tests in Chromium (the Debian 13 clean room's run)
#   ./test.sh --no-cleanroom  everything but the bare-Debian runs (the fuzzer for 20 s;
#                             --no-windows --no-sanitizers --no-firefox --no-webkit after it:
#                             without those steps)
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
quick_web=0
case "${1:-}" in
  --quick) mode=quick; shift
    if [ "${1:-}" = --web ]; then quick_web=1; firefox_default=0; webkit_default=0; shift; fi ;;
  --no-cleanroom) mode=inner; shift ;;
esac
# --no-windows and --no-sanitizers (after --no-cleanroom): without the Windows
# builds and their runs under wine, or the sanitizers' run: the same sources,
# cross-compiled or instrumented, and the longest steps of a bare root.
# --no-firefox and --no-webkit leave out the page's cases in Firefox ESR and
# in WebKitGTK (Debian ships the same ESR and WebKitGTK to both releases;
# --quick --web leaves them out too).
windows=1
sanitizers=1
firefox=${firefox_default:-1}
webkit=${webkit_default:-1}
while [ $mode = inner ] && [ $# -gt 0 ]; do
  case $1 in
    --no-windows) windows=0 ;;
    --no-sanitizers) sanitizers=0 ;;
    --no-firefox) firefox=0 ;;
    --no-webkit) webkit=0 ;;
    *) break ;;
  esac
  shift
done

tools/deps.sh test
# The web page's tests (emscripten, Chromium, Firefox ESR: 1.5 GB) are the
# full suite's; the quick one leaves them off, but for --quick --web.
web=OFF
if [ $mode != quick ] || [ $quick_web = 1 ]; then
  tools/deps.sh webtest
  [ $firefox = 0 ] || tools/deps.sh firefox
  [ $webkit = 0 ] || tools/deps.sh webkit
  web=ON
fi
jobs=$(nproc)
started=$SECONDS
steps=()
current=
step_began=$SECONDS
step() {  # a new step; the one before it and its time go into the summary
  [ -z "$current" ] || steps+=("$(printf '%5d s  %s' $((SECONDS - step_began)) "$current")")
  current=$*
  step_began=$SECONDS
  printf '\n=== %s (%d s)\n' "$*" $((SECONDS - started))
}
summary() {
  step "Done"
  printf '%s\n' "Time of each step:" "${steps[@]}" "$(printf '%5d s  in all' $((SECONDS - started)))"
  [ -n "${i386_tools-unset}" ] ||
    echo "Not run here: the 32-bit x86 programs (Linux, and Windows under wine): this kernel runs none."
}

. tools/xvfb.sh
finish() {
  [ $mode = quick ] || [ "${windows:-1}" = 0 ] ||
    WINEPREFIX=$root/build-windows/unpacked/wineprefix wineserver -k 2>/dev/null || true
  stop_xvfb
}
trap finish EXIT
start_xvfb

step "Build"
. tools/build.sh
build_for_tests() {
  cmake -S . -B build -DLESSONS_WERROR=ON -DLESSONS_ALL_TESTS=ON -DLESSONS_WEB_TESTS=$web \
    -DLESSONS_FIREFOX_TESTS=$([ $firefox = 1 ] && echo ON || echo OFF) \
    -DLESSONS_WEBKIT_TESTS=$([ $webkit = 1 ] && echo ON || echo OFF) >/dev/null
  cmake --build build --parallel "$jobs"
}
locked build build_for_tests

status=0
run_ctest() {  # run_ctest BUILD_DIR [ctest args...]
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" "$@" || status=1
}

if [ $mode = quick ]; then
  step "Quick tests$([ $quick_web = 0 ] || echo ", and the web page's")"
  run_ctest build -L "$([ $quick_web = 0 ] && echo quick || echo 'quick|web')" "$@"
  summary
  exit $status
fi

step "32-bit x86 Linux build (i686 cross compiler, :i386 packages)"
tools/deps.sh i386
cmake -S . -B build-i386 -DCMAKE_TOOLCHAIN_FILE=tools/i386-linux.cmake -DLESSONS_WERROR=ON >/dev/null
cmake --build build-i386 --parallel "$jobs"
# Whether this machine runs 32-bit x86 programs at all: a kernel built or
# booted without that support (some virtual machines') runs none, neither
# the 32-bit Linux programs nor wine's 32-bit Windows ones. There, both are
# built (warnings as errors) and not run, and the summary says so.
i386_tools=$root/build-i386/tests
wine=wine
printf 'int main(void) { return 0; }\n' | i686-linux-gnu-gcc -x c - -o build-i386/runs-here
if ! build-i386/runs-here 2>/dev/null; then
  i386_tools=
  wine=/usr/lib/wine/wine64  # Debian's wine would start its 32-bit loader
  echo "test.sh: this machine's kernel runs no 32-bit x86 program: the 32-bit Linux and Windows programs" \
       "are built, not run" >&2
fi

if [ $windows = 1 ]; then
  step "Windows builds (mingw-w64, x86_64 and i686)"
  tools/build-windows.sh
  # The programs are tested as a learner gets them: each zip unpacked into an
  # empty folder. A fresh wine prefix beside them; the tests name it
  # themselves, so a later plain ctest finds it too.
  unpacked=$root/build-windows/unpacked
  rm -rf "$unpacked"
  for arch in x86_64 i686; do
    python3 -m zipfile -e "build-windows/glsl-lessons-windows-$arch.zip" "$unpacked/$arch"
  done
  prefix=$unpacked/wineprefix
  WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot --init >/dev/null 2>&1
  locked build cmake -S . -B build -DLESSONS_WINDOWS_DIR="$unpacked" -DLESSONS_I386_TOOLS="$i386_tools" \
    -DLESSONS_WINE="$wine" >/dev/null
  step "Tests, with the Windows programs under wine"
else
  locked build cmake -S . -B build -DLESSONS_I386_TOOLS="$i386_tools" >/dev/null
  step "Tests"
fi
# The soak runs on the host only: what it counts exactly (the program's own
# allocations) is the same code in the clean room, and it is the longest test.
if [ $mode = inner ]; then
  run_ctest build -LE soak "$@"
else
  run_ctest build "$@"
fi

step "32-bit x86 Linux programs: first frames and bad inputs"
for program in build-i386/bin/lesson_*; do
  file -L "$program" | grep -Eq "ELF 32-bit LSB .* Intel (80386|i386)" || { file "$program"; status=1; }
done
if [ -n "$i386_tools" ]; then
  run_ctest build-i386 -R "reference_frame|missing_shader_files|shader_file_forms|shader_huge|texture_failures" \
    -E "\.core\." "$@"
else
  echo "Not run: this machine's kernel runs no 32-bit x86 program."
fi

if [ $sanitizers = 1 ]; then
  step "Sanitizers: ASan, LSan and UBSan build, unit and end-to-end tests"
  cmake -S . -B build-asan -DLESSONS_SANITIZE=ON -DLESSONS_WERROR=ON -DLESSONS_ALL_TESTS=ON >/dev/null
  cmake --build build-asan --parallel "$jobs"
  # The core profile's frames and start-up failures repeat the shell's code
  # under the sanitizers; its own code runs there in explore mode's core cases.
  # The end-to-end cases of three lessons, one of each kind of scene (unlit,
  # lit per fragment, textured), run under them; the other three share their
  # code (the shell, the loader, explore mode) and differ in their shaders
  # and a few lines of set-up of their own.
  run_ctest build-asan -L "unit|e2e" -LE "soak|core-frame" -E "e2e\.lesson_(diffuse|per_vertex|texturing_lit)\." "$@"
fi

step "Fuzzing the TGA reader (clang, libFuzzer, ASan, UBSan)"
# Inside the clean room a shorter run: it proves the fuzzer builds and runs
# with that release's clang; the host's run is the one that searches.
tools/fuzz.sh "$([ $mode = inner ] && echo 20 || echo 30)" || status=1

if [ $mode = full ]; then
  # CI's machine is Debian 12 and holds every package already: only a bare
  # root shows what a newcomer's machine does with the two commands.
  step "Clean room: bare Debian 12, ./run.sh and ./test.sh --quick"
  tools/cleanroom.sh bookworm || status=1
  step "Clean room: bare Debian 13, ./run.sh, ./run.sh --web and ./test.sh --quick --web"
  tools/cleanroom.sh --web trixie || status=1
fi

summary
exit $status
