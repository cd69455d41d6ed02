#!/usr/bin/env bash
# Installs the Debian packages a step needs, when any is missing. Every name
# here is served by both Debian 12 and Debian 13.
#   tools/deps.sh run      build and run the lessons (with Xvfb for screenshots)
#   tools/deps.sh teacher  the same and the report's writer (tools/check_folder.sh)
#   tools/deps.sh test     everything ./test.sh needs on this machine
#   tools/deps.sh windows  the Windows cross builds (x86_64, i686) and wine for both
#   tools/deps.sh i386     the 32-bit x86 Linux build and its test run
#   tools/deps.sh web      the web page (emscripten, CodeMirror for its editor) and its server
#   tools/deps.sh webtest  the web page and its tests in Chromium (on an Xvfb)
#   tools/deps.sh firefox  Firefox ESR, for the page's tests in a second engine
#   tools/deps.sh webkit   WebKitGTK's WebDriver and MiniBrowser, for them in a third (Safari's)
# Names ending in :i386 are the 32-bit x86 packages, which Debian installs
# beside the 64-bit ones once dpkg knows that architecture.
set -euo pipefail

run_pkgs=(g++ cmake make pkg-config libglut-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dri
          xvfb xdotool imagemagick)
# clang and its runtimes (libFuzzer, the sanitizers) under the release's own
# default version: clang 14 on Debian 12, clang 19 on Debian 13.
test_pkgs=("${run_pkgs[@]}" libgtest-dev libbenchmark-dev libstb-dev apitrace python3
           clang libclang-rt-dev glslang-tools clang-format weston xwayland)
windows_pkgs=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools wine wine64 wine32:i386 zip
              dpkg-dev xz-utils gzip patch)
web_pkgs=(emscripten cmake make g++ python3 python3-markdown libjs-codemirror)
webtest_pkgs=("${web_pkgs[@]}" chromium xvfb xdotool)
firefox_pkgs=(firefox-esr xvfb xdotool)
webkit_pkgs=(webkit2gtk-driver libwebkit2gtk-4.1-0 xvfb xdotool)
i386_pkgs=(file g++-i686-linux-gnu libglut-dev:i386 libglew-dev:i386 libglu1-mesa-dev:i386
           libgl1-mesa-dri:i386 libx11-dev:i386 libxext-dev:i386)

case "${1:-run}" in
  run) wanted=("${run_pkgs[@]}") ;;
  teacher) wanted=("${run_pkgs[@]}" python3) ;;
  test) wanted=("${test_pkgs[@]}") ;;
  windows) wanted=("${windows_pkgs[@]}") ;;
  i386) wanted=("${i386_pkgs[@]}") ;;
  web) wanted=("${web_pkgs[@]}") ;;
  webtest) wanted=("${webtest_pkgs[@]}") ;;
  firefox) wanted=("${firefox_pkgs[@]}") ;;
  webkit) wanted=("${webkit_pkgs[@]}") ;;
  *) echo "usage: $0 run|teacher|test|windows|i386|web|webtest|firefox|webkit" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
