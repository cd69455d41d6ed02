# Sourced by the scripts that build (./run.sh, ./test.sh, tools/gallery.sh,
# tools/check_folder.sh, bench/run.sh): the one way each builds the lessons,
# and one build of a build folder at a time, whoever starts it. Two runs
# started together would otherwise race each other's steps (one linking a
# library the other is still writing); the second waits for the first and
# says so. Run from the project's folder.
#   locked DIR COMMAND [ARGS...]   runs COMMAND (a function, too) holding DIR's lock
#   build_desktop [TARGET...]      the desktop's build in build/: TARGETs, or everything
#   build_page                     the web page in build-web/page (emscripten)
locked() {
  local dir=$1 lock status=0
  shift
  mkdir -p "$dir"
  exec {lock}>>"$dir/.build-lock"
  if ! flock -n "$lock"; then
    echo "${0##*/}: another build is using ${dir#"$PWD/"}/ (another ./run.sh or ./test.sh): waiting for it to finish." >&2
    flock "$lock"
  fi
  "$@" || status=$?
  exec {lock}>&-  # not handed on to the lesson that runs next
  return $status
}

build_desktop_now() {
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake -S . -B build >/dev/null
  cmake --build build --parallel "$(nproc)" "${targets[@]}" >/dev/null
}
build_desktop() { locked build build_desktop_now "$@"; }

build_page_now() {
  # (emcmake names the cmake command it runs on stderr: not for the learner.)
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null 2> >(grep -v '^configure: ' >&2)
  cmake --build build-web --parallel "$(nproc)" >/dev/null
}
build_page() { locked build-web build_page_now; }
