# Sourced by the scripts that build (./run.sh, ./test.sh, tools/gallery.sh,
# tools/check_folder.sh, bench/run.sh): the one way each builds the lessons,
# and one build of a build folder at a time, whoever starts it. Two runs
# started together would otherwise race each other's steps (one linking a
# library the other is still writing); the second waits for the first and
# says so. Run from the project's folder.
#   locked DIR COMMAND [ARGS...]   runs COMMAND (a function, too) holding DIR's lock
#   build_desktop [TARGET...]      the desktop's build in build/: TARGETs, or everything
#   build_page                     the web page in build-web/page (emscripten)
# A build says what it does and how far along it is (the build tool's own
# percentage): on one line that updates in a terminal, as a plain line every
# few seconds in a file. A build that fails shows its whole log.
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

# Reads a build's output on standard input, keeps it in LOG, and says on
# standard error how far along it is; never silent for more than about 4 s.
progress_of() {  # progress_of WHAT LOG
  local what=$1 log=$2 line at="" started=$SECONDS shown=-1 width
  local tty=0
  [ -t 2 ] && tty=1
  width=$( ( [ $tty = 1 ] && tput cols 2>/dev/null ) || echo 80)
  # A step that ends within a second says nothing.
  while :; do
    if IFS= read -r -t 1 line; then
      printf '%s\n' "$line" >>"$log"
      [[ $line =~ ^\[\ *([0-9]+)%\] ]] && at="${BASH_REMATCH[1]} %"
    elif [ $? -le 128 ]; then
      break  # the build's output ended
    fi
    [ $((SECONDS - started)) -ge 1 ] || continue
    if [ $tty = 1 ]; then
      local text="$what: ${at:-starting} ($((SECONDS - started)) s)"
      printf '\r\033[K%s' "${text:0:$((width - 1))}" >&2
      shown=$SECONDS
    elif [ $shown -lt 0 ] || [ $((SECONDS - shown)) -ge 3 ]; then
      echo "$what: ${at:-starting} ($((SECONDS - started)) s)" >&2
      shown=$SECONDS
    fi
  done
  [ $tty = 0 ] || [ $shown -lt 0 ] || printf '\r\033[K' >&2
}

# Runs a build step (COMMAND), its output kept and shown as progress_of
# shows it; when it fails, its whole log.
showing_progress() {  # showing_progress WHAT COMMAND [ARGS...]
  local what=$1 log status=0 started=$SECONDS
  shift
  log=$(mktemp)
  { "$@" 2>&1 || echo $? >"$log.status"; } | progress_of "$what" "$log"
  [ ! -f "$log.status" ] || status=$(cat "$log.status")
  rm -f "$log.status"
  if [ $status -ne 0 ]; then
    echo "$what failed (status $status). Its log:" >&2
    cat "$log" >&2
  elif [ $((SECONDS - started)) -ge 2 ]; then
    echo "$what: done in $((SECONDS - started)) s." >&2
  fi
  rm -f "$log"
  return $status
}

build_desktop_now() {
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  showing_progress "Configuring the build (build/)" cmake -S . -B build &&
    showing_progress "Building the lessons (build/)" cmake --build build --parallel "$(nproc)" "${targets[@]}"
}
build_desktop() { locked build build_desktop_now "$@"; }

build_page_now() {
  showing_progress "Configuring the web page (build-web/)" emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release &&
    showing_progress "Building the web page (build-web/)" cmake --build build-web --parallel "$(nproc)"
}
build_page() { locked build-web build_page_now; }
