#!/usr/bin/env bash
# Renders every lesson headlessly, the teapot turned by 30 degrees (frame
# 301), into docs/images/LESSON.png, and puts the six side by side in
# docs/images/lessons.png, and the specular lesson drawn by the per-vertex
# pair (docs/images/lesson_specular_gouraud.png). A test checks that these pictures still match
# what the lessons draw.
set -euo pipefail
if [ $# -ne 0 ]; then
  echo "usage: $0   (no arguments: redraws every lesson's picture in docs/images)" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
tools/deps.sh test
cmake -S . -B build >/dev/null
cmake --build build --parallel "$(nproc)" >/dev/null
lessons=()
for dir in lessons/*/; do lessons+=("$(basename "$dir")"); done
for lesson in "${lessons[@]}"; do
  UPDATE_GALLERY=1 python3 tests/e2e/cases.py --bin build/bin --tools build/tests --out build/gallery \
    --reference tests/reference reference_frame "$lesson"
done
# The specular lesson's scene drawn with the per-vertex pair: Gouraud beside Phong.
UPDATE_GALLERY=1 python3 tests/e2e/cases.py --bin build/bin --tools build/tests --out build/gallery \
  --reference tests/reference gallery_gouraud lesson_specular
pictures=()
for lesson in "${lessons[@]}"; do pictures+=("docs/images/$lesson.png"); done
montage "${pictures[@]}" -tile 6x1 -geometry 200x200+0+0 -background white docs/images/lessons.png
echo "Pictures in docs/images/"
