#!/usr/bin/env bash
# Installs the Debian packages a step needs, when any is missing.
#   tools/deps.sh run      build and run the lessons (with Xvfb for screenshots)
#   tools/deps.sh test     everything ./test.sh needs
#   tools/deps.sh windows  the Windows cross build and wine
set -euo pipefail

run_pkgs=(g++ cmake make pkg-config freeglut3-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dri
          xvfb xauth xdotool x11-utils imagemagick inotify-tools)
test_pkgs=("${run_pkgs[@]}" libgtest-dev libbenchmark-dev libstb-dev apitrace python3
           clang-14 libclang-rt-14-dev glslang-tools)
windows_pkgs=(g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 dpkg-dev xz-utils gzip patch)

case "${1:-run}" in
  run) wanted=("${run_pkgs[@]}") ;;
  test) wanted=("${test_pkgs[@]}") ;;
  windows) wanted=("${windows_pkgs[@]}") ;;
  *) echo "usage: $0 run|test|windows" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
