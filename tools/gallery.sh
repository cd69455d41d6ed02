#!/usr/bin/env bash
# Draws every lesson's picture on demand, the teapot turned by 30 degrees,
# into docs/images/LESSON.png, puts the six side by side in
# docs/images/lessons.png, and draws the specular lesson with the per-vertex
# pair (docs/images/lesson_specular_gouraud.png). A test checks that these
# pictures still match what the lessons draw (their frame 301).
set -euo pipefail
if [ $# -ne 0 ]; then
  echo "usage: $0   (no arguments: redraws every lesson's picture in docs/images)" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
root=$PWD
tools/deps.sh run
. tools/build.sh
build_desktop
export LIBGL_ALWAYS_SOFTWARE=1  # the pictures are llvmpipe's, as the tests' references
lessons=()
for dir in lessons/*/; do lessons+=("$(basename "$dir")"); done
for lesson in "${lessons[@]}"; do
  tools/headless.sh build/bin "$lesson" "docs/images/$lesson.png" >/dev/null
done
# The specular lesson's scene drawn with the per-vertex pair: Gouraud beside Phong.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp build/bin/lesson_specular "$scratch/"
for kind in vert frag; do cp "build/bin/oswietlenie_per_vertex.$kind" "$scratch/oswietlenie_odbite.$kind"; done
tools/headless.sh "$scratch" lesson_specular "$root/docs/images/lesson_specular_gouraud.png" >/dev/null
# The lessons write their pictures plainly (stored, uncompressed): compressed
# here, as the repository keeps them.
mogrify -strip -define png:compression-level=9 docs/images/lesson_*.png
pictures=()
for lesson in "${lessons[@]}"; do pictures+=("docs/images/$lesson.png"); done
montage "${pictures[@]}" -tile 6x1 -geometry 200x200+0+0 -background white docs/images/lessons.png
echo "Pictures in docs/images/"
