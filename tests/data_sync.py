"""The build's mirror of data/ beside the programs: a shader removed from
data/ is gone from the programs' folder after the next build, and nothing
the build did not place there is removed or overwritten: the learner's own
shaders and images, or a copy they edited. A learner's own image in data/
takes the place of the made one. Builds the project's own data/CMakeLists.txt
in a scratch project:
    python3 data_sync.py SOURCE_DIR SCRATCH_DIR"""

import os
import shutil
import subprocess
import sys
import threading
import time

from tests.harness import expect, outcome

PROJECT = """cmake_minimum_required(VERSION 3.25)
project(data_sync LANGUAGES CXX)
set(LESSON_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(LESSON_INSTALL_DIR glsl-lessons)
add_subdirectory(data)
"""

def saves_during_builds(cmake, build, data, bin_dir, name):
    """An editor that truncates and then writes, saving over and over while
    the build places the files: every build's copy is one the build made,
    never the learner's, so the build after the last save places it."""
    with open(os.path.join(data, name), "rb") as f:
        text = f.read()
    stop = threading.Event()

    def edit():
        n = 0
        while not stop.is_set():
            n += 1
            with open(os.path.join(data, name), "wb") as f:
                f.flush()
                time.sleep(0.002)
                f.write(text + f"// save {n}\n".encode())
            time.sleep(0.002)

    editor = threading.Thread(target=edit)
    editor.start()
    try:
        said = "".join(cmake("--build", build) for _ in range(4))
    finally:
        stop.set()
        editor.join()
    said += cmake("--build", build)
    with open(os.path.join(data, name), "rb") as f:
        expect(read_file(bin_dir, name) == f.read(),
               f"after saves during builds, bin/{name} is not data/'s: {said[-300:]!r}")
    expect(f"Keeping {os.path.join(bin_dir, name)}" not in said, f"a copy the build placed was taken for the learner's: {said[-300:]!r}")


def interrupted_placing(cmake, build, data, bin_dir, name):
    """A build stopped just after a copy was renamed into place, before the
    manifest was rewritten, and the file saved again: the next build takes
    that copy for its own and leaves no half-placed file behind."""
    with open(os.path.join(data, name), "ab") as f:
        f.write(b"// changed before an interrupted build\n")
    os.environ["LESSONS_PLACING_STOPS_AFTER"] = "1"
    try:
        stopped = subprocess.run(["cmake", "--build", build], capture_output=True).returncode
    finally:
        del os.environ["LESSONS_PLACING_STOPS_AFTER"]
    expect(stopped != 0, "the interrupted build was not interrupted")
    with open(os.path.join(data, name), "ab") as f:
        f.write(b"// and saved again\n")
    said = cmake("--build", build)
    left = [n for d in (bin_dir, os.path.join(bin_dir, "core")) for n in os.listdir(d) if ".placing-" in n]
    expect(not left, f"half-placed files outlived the next build: {left}")
    expect(read_file(bin_dir, name) == read_file(data, name), f"bin/{name} is not data/'s after an interrupted build")
    expect(f"Keeping {os.path.join(bin_dir, name)}" not in said, f"after an interrupted build, the build's copy was taken for the learner's: {said!r}")


def read_file(*path):
    with open(os.path.join(*path), "rb") as f:
        return f.read()


def main(source, scratch):
    shutil.rmtree(scratch, ignore_errors=True)
    for sub in ("data", "cmake", "tools"):
        os.makedirs(os.path.join(scratch, sub))
    shutil.copytree(os.path.join(source, "data"), os.path.join(scratch, "data"), dirs_exist_ok=True)
    for name in ("PlaceData.cmake", "Originals.cmake"):
        shutil.copy(os.path.join(source, "cmake", name), os.path.join(scratch, "cmake"))
    for name in ("make_textures.cpp", "TgaWriter.h"):
        shutil.copy(os.path.join(source, "tools", name), os.path.join(scratch, "tools"))
    with open(os.path.join(scratch, "CMakeLists.txt"), "w") as f:
        f.write(PROJECT)
    build = os.path.join(scratch, "build")
    data, bin_dir = os.path.join(scratch, "data"), os.path.join(build, "bin")

    def cmake(*args):
        return subprocess.run(["cmake", *args], check=True, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE).stderr.decode()

    read = read_file

    def put(data_bytes, *path):
        with open(os.path.join(*path), "wb") as f:
            f.write(data_bytes)

    cmake("-S", scratch, "-B", build)
    cmake("--build", build)
    shaders = lambda folder: sorted(n for n in os.listdir(folder) if n.endswith((".vert", ".frag")))
    theirs = shaders(data)
    # The learner's own files beside the programs, and an edit of a build's copy.
    own = {"my_try.frag": b"// mine\n", "moj_shader.vert": b"// moj\n", "tex0.tga": b"my own image"}
    for name, text in own.items():
        put(text, bin_dir, name)
    edited = theirs[1]
    put(b"// edited here\n", bin_dir, edited)
    put(read(data, edited) + b"// and in data/\n", data, edited)
    gone = theirs[0]
    os.remove(os.path.join(data, gone))
    dropped = theirs[2]  # edited in bin/, then dropped from data/: still the learner's
    put(b"// edited, then dropped\n", bin_dir, dropped)
    os.remove(os.path.join(data, dropped))
    with open(os.path.join(scratch, "tools", "make_textures.cpp"), "a") as f:
        f.write("\n// changed: the images are made again\n")
    put(b"learner's light map", data, "tex1.tga")
    said = cmake("--build", build)

    expect(not os.path.exists(os.path.join(bin_dir, gone)), f"{gone}, removed from data/, is still in bin/")
    expect(f"Removing {os.path.join(bin_dir, gone)}" in said, f"the build did not say it removed {gone}: {said!r}")
    for name, text in own.items():
        expect(os.path.exists(os.path.join(bin_dir, name)) and read(bin_dir, name) == text,
               f"the learner's own {name} in bin/ was removed or overwritten")
    expect(read(bin_dir, edited) == b"// edited here\n", f"the learner's edit of bin/{edited} was overwritten")
    expect(read(bin_dir, dropped) == b"// edited, then dropped\n",
           f"bin/{dropped}, edited there and then dropped from data/, was removed")
    expect(all(f"Keeping {os.path.join(bin_dir, n)}" in said for n in ("tex0.tga", edited)),
           f"the build did not say which files it kept: {said!r}")
    expect(read(bin_dir, "tex1.tga") == b"learner's light map", "data/tex1.tga did not replace the made image")
    for name in theirs[3:]:
        expect(read(bin_dir, name) == read(data, name), f"bin/{name} is not data/'s")
    saves_during_builds(cmake, build, data, bin_dir, theirs[3])
    interrupted_placing(cmake, build, data, bin_dir, theirs[3])
    return outcome(scratch, "ok: the build placed data/, removed only what it had placed, and kept the learner's files")


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
