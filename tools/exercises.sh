# Sourced by run.sh: the exercises of exercises/exercises.txt, and the
# learner's own folder for each, mine/NAME/ (its pair, images and progress).
#   list_exercises                 each exercise, its lesson, how far the learner got
#   exercise_lesson NAME           the lesson whose scene NAME is drawn in
#   exercise_folder NAME LESSON BIN [--core]
#                                  mine/NAME/ with the starting pair under the lesson's
#                                  file names (never over a file there); prints its path
exercises_file=exercises/exercises.txt

# The value of WORD in NAME's block ("lesson", "start", "teaches").
exercise_field() {
  awk -v name="$1" -v word="$2" '
    $1 == "exercise" { inside = ($2 == name) }
    inside && $1 == word { sub(/^[ \t]*[^ \t]+[ \t]+/, ""); print; exit }' "$exercises_file"
}

exercise_lesson() {
  local lesson
  lesson=$(exercise_field "$1" lesson)
  if [ -z "$lesson" ]; then
    echo "run.sh: no exercise called '$1' (./run.sh --exercises lists them)" >&2
    return 1
  fi
  echo "$lesson"
}

list_exercises() {
  local name lesson state progress
  echo "The exercises (./run.sh --exercise NAME starts one in mine/NAME/; add --core for the core profile):"
  for name in $(awk '$1 == "exercise" { print $2 }' "$exercises_file"); do
    lesson=$(exercise_field "$name" lesson)
    progress=mine/$name/progress.txt
    state="not started"
    [ ! -f "$progress" ] || state=$(paste -sd ';' "$progress" | sed 's/;/; /g')
    printf '  %-22s in %-22s %s\n' "$name" "$lesson" "$state"
    printf '  %-22s %s\n' "" "$(exercise_field "$name" teaches)"
  done
}

# The project's name of one of the exercise's files, for the profile.
profile_file() {  # profile_file PATH [--core]
  if [ "${2:-}" = --core ]; then echo "$(dirname "$1")/core/$(basename "$1")"; else echo "$1"; fi
}

exercise_folder() {
  local name=$1 lesson=$2 bin=$3 core=${4:-} folder sub= start names kind i
  folder=$PWD/mine/$name
  [ -z "$core" ] || sub=core/
  mkdir -p "$folder/$sub"
  read -r -a start <<<"$(exercise_field "$name" start)"
  # The lesson's own file names, from its row in lessons/LESSON/main.cpp.
  mapfile -t names < <(grep -o '"[a-z_]*\.\(vert\|frag\)"' "lessons/$lesson/main.cpp" | tr -d '"')
  for i in 0 1; do
    kind=$(profile_file "${start[$i]}" $core)
    if [ -e "$folder/$sub${names[$i]}" ]; then
      echo "Keeping your $folder/$sub${names[$i]} (remove it to start again from $kind)." >&2
    else
      cp "$kind" "$folder/$sub${names[$i]}"
      echo "Started $folder/$sub${names[$i]} from $kind." >&2
    fi
  done
  for image in tex0.tga tex1.tga; do  # the texturing lessons' images, unless the learner has their own
    [ ! -f "$bin/$image" ] || [ -e "$folder/$image" ] || cp "$bin/$image" "$folder/$image"
  done
  echo "$folder"
}
