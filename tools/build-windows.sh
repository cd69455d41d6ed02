#!/usr/bin/env bash
# Builds the six lessons as Windows console programs, 64-bit (x86_64) and
# 32-bit (i686), from the same sources as the Linux build. Each architecture
# gets its own folder, ready to copy to a Windows machine, and a zip of it:
#   build-windows/ARCH/bin/       the six .exe files, their shaders, tex0.tga, tex1.tga, README.txt,
#                                 the exercises and exercises.cmd, exercise.cmd, check.cmd
#   build-windows/glsl-lessons-windows-ARCH.zip
#   tools/build-windows.sh [ARCH...]     ARCH: x86_64, i686 (default both)
# freeglut and GLEW for Windows are built here, as static libraries, from
# Debian's own source packages; they are kept in build-windows/ARCH/deps, and
# a copy in ~/.cache/glsl-lessons (by their versions and the compiler's), so
# neither a second run nor a fresh clone rebuilds them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
[ $# -gt 0 ] || set -- x86_64 i686
for arch in "$@"; do
  case $arch in
    x86_64 | i686) ;;
    *) echo "usage: $0 [x86_64] [i686]" >&2; exit 2 ;;
  esac
done

tools/deps.sh windows
. tools/apt-archive.sh

# The source packages, pinned by version and checked by the sha256 of their
# original tarballs.
freeglut_version=3.4.0-1
glew_version=2.2.0-4
freeglut_tarball=freeglut_3.4.0.orig.tar.gz
freeglut_sha256=3c0bcb915d9b180a97edaebd011b7a1de54583a838644dcd42bb0ea0c6f3eaec
glew_tarball=glew_2.2.0.orig.tar.xz
glew_sha256=971e9bd3e3561e2c33cd1722129a1a44186790e93f4a79e843a0dc8bd1fb1db1
src=$root/build-windows/src

fetch_sources() {
  # A private source list and lists folder: the machine's apt set-up is not
  # touched. The versions pinned here are Debian 12's, fetched from the
  # archive this machine's apt uses.
  local apt=$root/build-windows/apt
  mkdir -p "$apt/lists/partial" "$src"
  local archive
  archive=$(debian_archive)
  echo "deb-src $archive bookworm main" >"$apt/sources.list"
  local opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o "Dir::State::Lists=$apt/lists" -o APT::Sandbox::User=root)
  apt-get "${opts[@]}" -qq update
  (cd "$src" && apt-get "${opts[@]}" -qq source --download-only \
     "freeglut=$freeglut_version" "glew=$glew_version")
}

verify() {  # verify FILE SHA256
  echo "$2  $src/$1" | sha256sum --check --quiet || {
    echo "build-windows: $1 does not have the expected sha256" >&2
    exit 1
  }
}

build_deps() {  # build_deps ARCH TOOLCHAIN PREFIX: static freeglut and GLEW
  local arch=$1 toolchain=$2 prefix=$3 deps
  deps=$(dirname "$prefix")
  rm -rf "$deps/freeglut" "$deps/glew" "$prefix"
  mkdir -p "$deps/freeglut" "$deps/glew" "$prefix/lib" "$prefix/include/GL"

  echo "Building freeglut for Windows ($arch)"
  tar -xzf "$src/$freeglut_tarball" -C "$deps/freeglut" --strip-components=1
  cmake -S "$deps/freeglut" -B "$deps/freeglut/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DFREEGLUT_BUILD_SHARED_LIBS=OFF \
    -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF >/dev/null
  cmake --build "$deps/freeglut/build" --parallel "$jobs" >/dev/null 2>&1
  cmake --install "$deps/freeglut/build" >/dev/null
  # Under the names CMake's FindGLUT looks for on Windows.
  cp "$prefix/lib/libfreeglut_static.a" "$prefix/lib/libfreeglut.a"
  cp "$deps/freeglut/include/GL/glut.h" "$prefix/include/GL/"

  echo "Building GLEW for Windows ($arch)"
  tar -xJf "$src/$glew_tarball" -C "$deps/glew" --strip-components=1
  local system=linux-mingw64
  [ "$arch" = x86_64 ] || system=linux-mingw32
  touch "$deps/glew/.started"
  make -C "$deps/glew" SYSTEM=$system AR=$arch-w64-mingw32-ar STRIP=$arch-w64-mingw32-strip -j"$jobs" \
    glew.lib.static >"$deps/glew/build.log" 2>&1 || { tail -20 "$deps/glew/build.log"; exit 1; }
  # GLEW's makefile makes an empty folder in /tmp each time it is read.
  find /tmp -maxdepth 1 -type d -name 'glew.??????' -empty -newer "$deps/glew/.started" -delete
  # The static library only, never the import library, under the names that
  # CMake's FindGLEW looks for when static libraries are asked for on Windows:
  # glew32s.lib for CMake 3.25, libglew32s.a for MinGW in CMake 3.31.
  cp "$deps/glew/lib/libglew32.a" "$prefix/lib/glew32s.lib"
  cp "$deps/glew/lib/libglew32.a" "$prefix/lib/libglew32s.a"
  cp "$deps/glew/include/GL/"*.h "$prefix/include/GL/"
  touch "$prefix/.built-2"
}

# The two images come from the project's own tool, built for this machine.
textures=$root/build-windows/textures
if [ ! -f "$textures/tex1.tga" ]; then
  mkdir -p "$textures"
  c++ -std=c++17 -O2 -I tools tools/make_textures.cpp -o "$textures/make_textures"
  "$textures/make_textures" "$textures"
fi

cache=${XDG_CACHE_HOME:-$HOME/.cache}/glsl-lessons/windows-deps
for arch in "$@"; do
  out=$root/build-windows/$arch
  prefix=$out/deps/prefix
  toolchain=$root/tools/windows/mingw-w64-$arch.cmake
  cached=$cache/$arch-freeglut_$freeglut_version-glew_$glew_version-gcc_$($arch-w64-mingw32-g++ -dumpversion)-2
  if [ ! -f "$prefix/.built-2" ] && [ -f "$cached/.built-2" ]; then
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    cp -a "$cached" "$prefix"
  fi
  if [ ! -f "$prefix/.built-2" ]; then
    if [ ! -f "$src/$freeglut_tarball" ] || [ ! -f "$src/$glew_tarball" ]; then
      fetch_sources
    fi
    verify "$freeglut_tarball" "$freeglut_sha256"
    verify "$glew_tarball" "$glew_sha256"
    build_deps "$arch" "$toolchain" "$prefix"
    mkdir -p "$cache"
    rm -rf "$cached.part"
    cp -a "$prefix" "$cached.part"
    rm -rf "$cached"
    mv "$cached.part" "$cached"
  fi

  echo "Building the lessons for Windows ($arch)"
  cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DLESSONS_WINDOWS_PREFIX="$prefix" -DLESSONS_STATIC_DEPS=ON -DLESSONS_WERROR=ON >/dev/null
  cmake --build "$out" --parallel "$jobs"
  # What a learner needs beside the programs: the images, and how to start.
  cp "$textures/tex0.tga" "$textures/tex1.tga" tools/windows/README.txt "$out/bin/"
  # The exercises, and the commands that list, practise and check them.
  rm -rf "$out/bin/exercises"
  cp -r exercises "$out/bin/exercises"
  cp tools/windows/exercises.cmd tools/windows/exercise.cmd tools/windows/check.cmd "$out/bin/"
  zip=$root/build-windows/glsl-lessons-windows-$arch.zip
  rm -f "$zip"
  ln -sfn bin "$out/glsl-lessons"  # the folder's name inside the zip
  (cd "$out" && zip -qr "$zip" glsl-lessons)
  rm "$out/glsl-lessons"
  echo "Windows programs ($arch): $out/bin, zipped in $zip"
done
