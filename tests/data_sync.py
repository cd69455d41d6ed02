"""build/bin holds exactly the shaders of data/: a shader removed there is
gone from the programs' folder after the next build. Builds the project's own
data/CMakeLists.txt in a scratch project, deletes a shader, builds again:
    python3 data_sync.py SOURCE_DIR SCRATCH_DIR"""

import os
import shutil
import subprocess
import sys

PROJECT = """cmake_minimum_required(VERSION 3.25)
project(data_sync LANGUAGES CXX)
set(LESSON_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(LESSON_INSTALL_DIR glsl-lessons)
add_subdirectory(data)
"""


def main(source, scratch):
    shutil.rmtree(scratch, ignore_errors=True)
    for sub in ("data", "cmake", "tools"):
        os.makedirs(os.path.join(scratch, sub))
    shutil.copytree(os.path.join(source, "data"), os.path.join(scratch, "data"), dirs_exist_ok=True)
    shutil.copy(os.path.join(source, "cmake", "PruneShaders.cmake"), os.path.join(scratch, "cmake"))
    for name in ("make_textures.cpp", "TgaWriter.h"):
        shutil.copy(os.path.join(source, "tools", name), os.path.join(scratch, "tools"))
    with open(os.path.join(scratch, "CMakeLists.txt"), "w") as f:
        f.write(PROJECT)
    build = os.path.join(scratch, "build")
    bin_dir = os.path.join(build, "bin")

    def cmake(*args):
        subprocess.run(["cmake", *args], check=True, stdout=subprocess.DEVNULL)

    cmake("-S", scratch, "-B", build)
    cmake("--build", build)
    shaders = lambda folder: sorted(n for n in os.listdir(folder) if n.endswith((".vert", ".frag")))
    gone = shaders(os.path.join(scratch, "data"))[0]
    os.remove(os.path.join(scratch, "data", gone))
    cmake("--build", build)
    left = shaders(bin_dir)
    if left != shaders(os.path.join(scratch, "data")):
        print(f"FAIL: after {gone} was removed from data/, the programs' folder holds {left}")
        return 1
    shutil.rmtree(scratch)
    print(f"ok: {gone} removed from data/ is gone from bin/ after the build")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
