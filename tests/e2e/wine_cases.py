"""End-to-end cases for the Windows builds of the lessons, run under wine on a
private Xvfb. wine's OpenGL reaches the same Mesa llvmpipe as the Linux
build, so the first frame must match the Linux reference image.
    python3 wine_cases.py --exe EXE --tools TOOLS --out OUT --reference REF CASE
TOOLS holds the present probe built for the program's architecture;
WINEPREFIX names the prefix to run in."""

import argparse
import os
import pty
import re
import select
import shutil
import subprocess
import sys
import time

from tests.harness import (LESSONS, MSG_NO_GL2, MSG_TEXTURE, MSG_VERT, Lesson, PrivateDisplay, Running, base_env,
                     check, compare_image, run_case, scratch_folder)

# What a console program of this build may import: Windows itself, nothing else.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "opengl32.dll", "glu32.dll", "winmm.dll",
               "msvcrt.dll", "advapi32.dll", "shell32.dll"}
# Debian's wine starts its 32-bit loader when wine32 is installed, which a
# kernel without 32-bit support cannot run: the tests then name the 64-bit
# loader (LESSONS_WINE, from the build's configuration).
WINE = os.environ.get("LESSONS_WINE") or "wine"
MACHINES = {"x86_64": ("pei-x86-64", "x86_64-w64-mingw32-objdump"), "i686": ("pei-i386", "i686-w64-mingw32-objdump")}


def wine_env(display, tools, extra=None):
    env = base_env(display)
    env.setdefault("WINEDEBUG", "-all,err+module")
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    env["LD_PRELOAD"] = os.path.join(tools, "libpresentprobe.so")  # wine's other half ignores it
    env.update(extra or {})
    return env


def scratch(opts, leave_out=()):
    """A working folder with the program and its data files, but `leave_out`."""
    folder = scratch_folder("wine", opts.out)
    shutil.copy(opts.exe, folder)
    for name in opts.lesson.data_files():
        if name not in leave_out:
            os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
            shutil.copy(os.path.join(os.path.dirname(opts.exe), name), os.path.join(folder, name))
    return folder


def case_core_runs_and_ends_on_escape(opts):
    """The core profile through wine's WGL: the same first frame."""
    opts.lesson = Lesson(opts.lesson.name, opts.lesson.bin_dir, opts.lesson.tools_dir, opts.lesson.out_dir, core=True)
    case_runs_and_ends_on_escape(opts)


def start(opts, folder, display, extra=None):
    return subprocess.Popen([WINE, os.path.basename(opts.exe)], cwd=folder,
                            env=wine_env(display.name, opts.tools, extra),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def run_to_end(opts, folder, extra=None, timeout=120):
    with PrivateDisplay() as display:
        proc = start(opts, folder, display, extra)
        out, err = proc.communicate(timeout=timeout)
    # Windows text mode writes CR LF; compare the lines without the CR.
    return proc.returncode, out.replace(b"\r\n", b"\n"), err


def expect_failure(opts, folder, message, what, extra=None):
    rc, out, err = run_to_end(opts, folder, extra)
    check(rc == 1 and out == message, f"{what}: status {rc}, output {out!r}, errors {err[-500:]!r}")
    return err


def case_runs_and_ends_on_escape(opts):
    folder = scratch(opts)
    first = os.path.join(folder, "frame1.png")
    with PrivateDisplay() as display:
        env = wine_env(display.name, opts.tools, {"PROBE_CAPTURE": f"1:{first}"})
        command = [WINE, os.path.basename(opts.exe), *opts.lesson.args]
        with Running(opts.lesson, folder, display, command, env, frames=3, seconds=90) as running:
            running.key("Escape")
            result = running.finish(timeout=60)
    check(result.rc == 0 and result.out == b"", f"Escape: {result}")
    print(compare_image(opts.tools, first, os.path.join(opts.reference, opts.lesson.name + ".png")))


def case_missing_vertex_shader(opts):
    expect_failure(opts, scratch(opts, leave_out=[opts.lesson.vert]), MSG_VERT, "missing vertex shader")


def case_no_opengl_2(opts):
    expect_failure(opts, scratch(opts), MSG_NO_GL2, "OpenGL 1.5 only", {"MESA_GL_VERSION_OVERRIDE": "1.5"})


def case_missing_texture(opts):
    expect_failure(opts, scratch(opts, leave_out=["tex1.tga"]), MSG_TEXTURE, "tex1.tga missing")


def case_console_code_page(opts):
    """With a console (here a terminal) the program switches it to UTF-8
    (65001) for its messages and puts the console's own code page back at
    the end. With the output redirected there is no console, and the bytes
    are the ones every other case checks."""
    env = wine_env(None, opts.tools, {"WINEDEBUG": "-all,+relay"})
    subprocess.run([WINE, "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/t", "REG_SZ",
                    "/d", "kernel32.GetConsoleOutputCP;kernel32.SetConsoleOutputCP", "/f"],
                   env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    folder = scratch(opts, leave_out=[opts.lesson.vert])
    terminal, program_side = pty.openpty()
    with PrivateDisplay() as display:
        env["DISPLAY"] = display.name
        proc = subprocess.Popen([WINE, os.path.basename(opts.exe)], cwd=folder, env=env, stdin=program_side,
                                stdout=program_side, stderr=subprocess.PIPE)
        os.close(program_side)
        _, err = proc.communicate(timeout=120)
    os.close(terminal)
    got = re.findall(rb"Ret  KERNEL32\.GetConsoleOutputCP\(\) retval=([0-9a-f]+)", err)
    pages = [int(page, 16) for page in re.findall(rb"Call KERNEL32\.SetConsoleOutputCP\(([0-9a-f]+)\)", err)]
    check(proc.returncode == 1 and got and pages == [65001, int(got[0], 16)],
          f"status {proc.returncode}; the console's code page {got}, then set to {pages}, not 65001 and back")


def case_exercises(opts):
    """The exercises as a learner on Windows does them, from the unzipped
    folder in cmd.exe: the list; a check that passes, one that fails, one
    that does not build (its status each); and one practised: the starting
    pair copied into mine\\NAME, the window checking it, the progress kept."""
    folder = scratch_folder("wine-exercises", opts.out)
    shutil.copytree(os.path.dirname(opts.exe), folder, dirs_exist_ok=True)
    check(os.path.exists(os.path.join(folder, "exercises", "exercises.txt"))
          and os.path.exists(os.path.join(folder, "exercises.cmd")),
          f"the Windows folder has no exercises: {sorted(os.listdir(folder))}")
    with open(os.path.join(folder, "broken.frag"), "w") as f:
        f.write("#version 110\nvoid main() { gl_FragColor = vec4(1.0) }\n")
    with PrivateDisplay() as display:
        env = wine_env(display.name, opts.tools)

        def cmd(*args, timeout=240):
            proc = subprocess.run([WINE, "cmd", "/c", *args], cwd=folder, env=env, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, timeout=timeout)
            return proc.returncode, proc.stdout.decode(errors="replace").replace("\r\n", "\n")

        rc, out = cmd("exercises.cmd")
        check(rc == 0 and "lesson_diffuse" in out and "0 of 12 solved. Next: exercise lesson_ambient" in out,
              f"exercises.cmd: status {rc}, {out[-400:]!r}")
        for pair, status, said in ((("oswietlenie_rozproszone.vert", "oswietlenie_rozproszone.frag"), 0, "pass  behind"),
                                   (("oswietlenie_otoczenia.vert", "oswietlenie_otoczenia.frag"), 1, "FAIL  behind"),
                                   (("oswietlenie_rozproszone.vert", "broken.frag"), 1, "the pair does not build")):
            rc, out = cmd("check.cmd", "lesson_diffuse", *pair)
            check(rc == status and said in out, f"check.cmd lesson_diffuse {pair[1]}: status {rc}, {out[-400:]!r}")

        # Practised: the window (explore mode) checks the starting pair.
        practice = subprocess.Popen([WINE, "cmd", "/c", "exercise.cmd", "lesson_diffuse"], cwd=folder, env=env,
                                    stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        said = b""
        try:
            deadline = time.monotonic() + 120
            progress = os.path.join(folder, "mine", "lesson_diffuse", "progress.txt")
            while (b"Check: " not in said or not os.path.exists(progress)) and time.monotonic() < deadline \
                    and practice.poll() is None:
                ready, _, _ = select.select([practice.stdout], [], [], 1)
                if ready:
                    said += os.read(practice.stdout.fileno(), 4096)
        finally:  # the window ends with the case's wine server
            practice.kill()
            practice.wait()
            subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
    mine = os.path.join(folder, "mine", "lesson_diffuse")
    progress = os.path.join(mine, "progress.txt")
    check(b"Check: 0 of 6 probes pass" in said and os.path.exists(os.path.join(mine, "oswietlenie_rozproszone.vert"))
          and os.path.exists(progress) and "GLSL 1.10: started" in open(progress).read(),
          f"exercise.cmd lesson_diffuse: {said[-500:]!r}, mine/: {os.listdir(mine) if os.path.isdir(mine) else None}")


def case_pe_header(opts):
    """A console program for the right machine that needs only Windows itself."""
    form, objdump = MACHINES[opts.arch]
    dump = subprocess.run([objdump, "-p", opts.exe], stdout=subprocess.PIPE, check=True).stdout.decode()
    check(f"file format {form}" in dump, f"not {form}: {dump[:300]}")
    check(re.search(r"^Subsystem\s+00000003", dump, re.M), "not a console program (subsystem 3)")
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    check(dlls and dlls <= SYSTEM_DLLS, f"imports beyond Windows itself: {sorted(dlls - SYSTEM_DLLS)}")


CASES = {name[5:]: fn for name, fn in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--arch", required=True, choices=sorted(MACHINES))
    parser.add_argument("--tools", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--reference", required=True)
    parser.add_argument("case", choices=sorted(CASES))
    opts = parser.parse_args()
    name = os.path.splitext(os.path.basename(opts.exe))[0]
    check(name in LESSONS, f"{name} is not a lesson")
    opts.lesson = Lesson(name, os.path.dirname(opts.exe), opts.tools, opts.out)
    os.makedirs(opts.out, exist_ok=True)
    # A wine server outlives its programs for a moment, bound to the display
    # of the case before: each case starts and ends with none.
    stop_wineserver = ["wineserver", "-k"]
    subprocess.run(stop_wineserver, stderr=subprocess.DEVNULL)
    try:
        return run_case(f"wine {opts.arch} {name} {opts.case}", CASES[opts.case], opts)
    finally:
        subprocess.run(stop_wineserver, stderr=subprocess.DEVNULL)


if __name__ == "__main__":
    sys.exit(main())
