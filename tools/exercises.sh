# Sourced by run.sh and tools/check_folder.sh: the exercises, as the lessons'
# own program reads them from exercises/exercises.txt (--list-exercises), and
# the learner's own folder for each, mine/NAME/ (its pair, images and
# progress). Each needs build/bin/lesson_ambient built (build_exercises_reader).
#   list_exercises                 each exercise, its lesson, how far the learner got
#   exercise_lesson NAME           the lesson whose scene NAME is drawn in
#   exercise_folder NAME BIN [--core]
#                                  mine/NAME/ with the starting pair under the lesson's
#                                  file names (never over a file there); prints its path
exercise_reader=lesson_ambient  # any lesson's program reads the exercises alike

# One line per exercise, in the order they build on each other (NAME LESSON
# START-VERT START-FRAG FILE-VERT FILE-FRAG TEXTURES TEACHES STATE SOLVED,
# tab-separated), the pairs for the profile (--core), the state from
# mine/NAME/progress.txt.
exercise_lines() {
  "$PWD/build/bin/$exercise_reader" "$@" --list-exercises lines
}

# NAME's line, in the array `fields`; status 1 when there is no such
# exercise, 2 when the exercises cannot be read (the program said why, with
# the line of the file).
exercise_fields() {  # exercise_fields NAME [--core]
  local name=$1 line lines
  shift
  lines=$(exercise_lines "$@") || return 2
  while IFS= read -r line; do
    IFS=$'\t' read -r -a fields <<<"$line"
    [ "${fields[0]}" != "$name" ] || return 0
  done <<<"$lines"
  return 1
}

exercise_lesson() {
  local found=0
  exercise_fields "$1" || found=$?
  if [ $found -eq 1 ]; then
    echo "run.sh: no exercise called '$1' (./run.sh --exercises lists them)" >&2
  fi
  [ $found -eq 0 ] || return $found
  echo "${fields[1]}"
}

list_exercises() {
  local name lesson teaches state solved_mark solved=0 count=0 next= lines
  lines=$(exercise_lines) || return 2
  echo "The exercises, first to last (./run.sh --exercise NAME starts one in mine/NAME/; add --core for the core profile):"
  while IFS=$'\t' read -r name lesson _ _ _ _ _ teaches state solved_mark; do
    count=$((count + 1))
    if [ "$solved_mark" = solved ]; then solved=$((solved + 1)); else [ -n "$next" ] || next=$name; fi
    printf '  %-22s in %-22s %s\n' "$name" "$lesson" "$state"
    printf '  %-22s %s\n' "" "$teaches"
  done <<<"$lines"
  echo "$solved of $count solved.${next:+ Next: ./run.sh --exercise $next}"
}

# Copies FROM to TO whole or not at all: a full disk or a folder that cannot
# be written leaves no empty or cut file behind to be kept as the learner's.
copy_whole() {  # copy_whole FROM TO
  local why
  if ! why=$(cp "$1" "$2.part-$$" 2>&1 && mv -f "$2.part-$$" "$2" 2>&1); then
    rm -f "$2.part-$$"
    echo "run.sh: could not copy $1 to $2: ${why##*: }." \
      "Nothing was started: make room on the disk, or make $(dirname "$2") writable, and try again." >&2
    return 1
  fi
}

exercise_folder() {
  local name=$1 bin=$2 core=${3:-} folder i start file
  folder=$PWD/mine/$name
  exercise_fields "$name" $core || return 1
  for i in 0 1; do
    start=${fields[2 + i]} file=$folder/${fields[4 + i]}
    if ! mkdir -p "$(dirname "$file")" 2>/dev/null || [ ! -w "$(dirname "$file")" ] || [ ! -x "$(dirname "$file")" ]; then
      echo "run.sh: cannot write in $(dirname "$file"): make it a folder you can write in, and try again." >&2
      return 1
    fi
    if [ -L "$file" ] && [ ! -e "$file" ]; then
      echo "run.sh: $file is a link to nothing: remove it to start again from $start." >&2
      return 1
    elif [ -e "$file" ]; then
      echo "Keeping your $file (remove it to start again from $start)." >&2
    else
      copy_whole "$start" "$file" || return 1
      echo "Started $file from $start." >&2
    fi
  done
  # The texturing lessons' images, unless the learner has their own.
  for image in tex0.tga tex1.tga; do
    [ "${fields[6]}" = textures ] || break
    [ ! -f "$bin/$image" ] || [ -e "$folder/$image" ] || copy_whole "$bin/$image" "$folder/$image" || return 1
  done
  echo "$folder"
}
