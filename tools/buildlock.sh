# Sourced by the scripts that build: one build of a build folder at a time,
# whoever starts it (./run.sh, ./test.sh, tools/gallery.sh, bench/run.sh).
# Two runs started together would otherwise race each other's steps (one
# linking a library the other is still writing); the second waits for the
# first and says so.
#   locked DIR COMMAND [ARGS...]   runs COMMAND (a function, too) holding DIR's lock
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
