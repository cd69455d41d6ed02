#!/usr/bin/env bash
# Builds lesson_ambient as a 64-bit Windows console program, from the same
# sources as the Linux build, into build-windows/bin/ beside its shaders.
# freeglut and GLEW for Windows are built here, as static libraries, from
# Debian's own source packages; they are kept in build-windows/deps, so a
# second run does not rebuild them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-windows
deps=$out/deps
prefix=$deps/prefix
toolchain=$root/tools/windows/mingw-w64-x86_64.cmake
jobs=$(nproc)

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

fetch_sources() {
  # A private source list and lists folder: the machine's apt set-up is not touched.
  local apt=$deps/apt
  mkdir -p "$apt/lists/partial" "$deps/src"
  # The versions pinned here are Debian 12's, fetched from the archive this
  # machine's apt uses.
  echo "deb-src $(debian_archive) bookworm main" >"$apt/sources.list"
  local opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o "Dir::State::Lists=$apt/lists" -o APT::Sandbox::User=root)
  apt-get "${opts[@]}" -qq update
  (cd "$deps/src" && apt-get "${opts[@]}" -qq source --download-only \
     "freeglut=$freeglut_version" "glew=$glew_version")
}

verify() {  # verify FILE SHA256
  echo "$2  $deps/src/$1" | sha256sum --check --quiet || {
    echo "build-windows: $1 does not have the expected sha256" >&2
    exit 1
  }
}

if [ ! -f "$prefix/.built-2" ]; then
  if [ ! -f "$deps/src/$freeglut_tarball" ] || [ ! -f "$deps/src/$glew_tarball" ]; then
    fetch_sources
  fi
  verify "$freeglut_tarball" "$freeglut_sha256"
  verify "$glew_tarball" "$glew_sha256"
  rm -rf "$deps/freeglut" "$deps/glew" "$prefix"
  mkdir -p "$deps/freeglut" "$deps/glew" "$prefix/lib" "$prefix/include/GL"

  echo "Building freeglut for Windows"
  tar -xzf "$deps/src/$freeglut_tarball" -C "$deps/freeglut" --strip-components=1
  cmake -S "$deps/freeglut" -B "$deps/freeglut/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DFREEGLUT_BUILD_SHARED_LIBS=OFF \
    -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF >/dev/null
  cmake --build "$deps/freeglut/build" --parallel "$jobs" >/dev/null
  cmake --install "$deps/freeglut/build" >/dev/null
  # Under the names CMake's FindGLUT looks for on Windows.
  cp "$prefix/lib/libfreeglut_static.a" "$prefix/lib/libfreeglut.a"
  cp "$deps/freeglut/include/GL/glut.h" "$prefix/include/GL/"

  echo "Building GLEW for Windows"
  tar -xJf "$deps/src/$glew_tarball" -C "$deps/glew" --strip-components=1
  make -C "$deps/glew" SYSTEM=linux-mingw64 AR=x86_64-w64-mingw32-ar \
    STRIP=x86_64-w64-mingw32-strip -j"$jobs" glew.lib.static >"$deps/glew/build.log" 2>&1 ||
    { tail -20 "$deps/glew/build.log"; exit 1; }
  # The static library only, never the import library, under the names that
  # CMake's FindGLEW looks for when static libraries are asked for on Windows:
  # glew32s.lib for CMake 3.25, libglew32s.a for MinGW in CMake 3.31.
  cp "$deps/glew/lib/libglew32.a" "$prefix/lib/glew32s.lib"
  cp "$deps/glew/lib/libglew32.a" "$prefix/lib/libglew32s.a"
  cp "$deps/glew/include/GL/"*.h "$prefix/include/GL/"
  touch "$prefix/.built-2"
fi

echo "Building lesson_ambient.exe"
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DLESSONS_WINDOWS_PREFIX="$prefix" -DGLEW_USE_STATIC_LIBS=ON -DLESSONS_WERROR=ON >/dev/null
cmake --build "$out" --parallel "$jobs" --target lesson_ambient
echo "Windows program: $out/bin/lesson_ambient.exe"
