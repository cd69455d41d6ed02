"""End-to-end cases for the Windows build of lesson_ambient, run under wine
on a private Xvfb. wine's OpenGL reaches the same Mesa llvmpipe as the Linux
build, so the first frame must match the Linux reference image.
    python3 wine_cases.py --exe EXE --tools TOOLS --out OUT --reference REF CASE
WINEPREFIX must name a prefix made for this run."""

import argparse
import os
import shutil
import subprocess
import sys
import time

from harness import (MSG_NO_GL2, MSG_VERT, Failure, PrivateDisplay, base_env, check, compare_image, end_case,
                     scratch_folder)

TITLE = "Kolory w shaderze"
SHADERS = ("oswietlenie_otoczenia.vert", "oswietlenie_otoczenia.frag")


class Tools:  # what compare_image needs to find imgdiff
    def __init__(self, tools_dir):
        self.tools_dir = tools_dir


def wine_env(display, tools, extra=None):
    env = base_env(display)
    env.setdefault("WINEDEBUG", "-all,err+module")
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    env["LD_PRELOAD"] = os.path.join(tools, "libpresentprobe.so")
    env.update(extra or {})
    return env


def scratch(opts, keep=SHADERS):
    folder = scratch_folder("wine", opts.out)
    exe_dir = os.path.dirname(opts.exe)
    shutil.copy(opts.exe, folder)
    for name in keep:
        shutil.copy(os.path.join(exe_dir, name), folder)
    return folder


def start(opts, folder, display, extra=None):
    return subprocess.Popen(["wine", os.path.basename(opts.exe)], cwd=folder,
                            env=wine_env(display.name, opts.tools, extra),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def output_lines(raw):
    """Windows text mode writes CR LF; compare the lines without the CR."""
    return raw.replace(b"\r\n", b"\n")


def run_to_end(opts, folder, extra=None, timeout=120):
    with PrivateDisplay() as display:
        proc = start(opts, folder, display, extra)
        out, err = proc.communicate(timeout=timeout)
    return proc.returncode, output_lines(out), err


def wait_for_frames(proc, tick, count, seconds=90):
    deadline = time.monotonic() + seconds
    while True:
        try:
            with open(tick) as f:
                if int(f.read().strip() or 0) >= count:
                    return
        except (FileNotFoundError, ValueError):
            pass
        check(proc.poll() is None, f"the program ended early with status {proc.returncode}")
        check(time.monotonic() < deadline, f"no {count} frames in {seconds} s")
        time.sleep(0.05)


def case_runs_and_ends_on_escape(opts):
    folder = scratch(opts)
    first = os.path.join(folder, "frame1.png")
    tick = os.path.join(folder, "frames")
    with PrivateDisplay() as display:
        proc = start(opts, folder, display, {"PROBE_CAPTURE": f"1:{first}", "PROBE_TICK": tick})
        try:
            wait_for_frames(proc, tick, 3)
            windows = display.xdotool("search", "--name", f"^{TITLE}$").split()
            check(len(windows) == 1, f"no window titled {TITLE!r}: {windows}")
            display.xdotool("key", "--window", windows[0], "Escape")
            out, err = proc.communicate(timeout=60)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
    check(proc.returncode == 0 and output_lines(out) == b"",
          f"Escape: status {proc.returncode}, output {out!r}, errors {err[-500:]!r}")
    reference = os.path.join(opts.reference, "lesson_ambient.png")
    print(compare_image(Tools(opts.tools), first, reference))


def case_missing_vertex_shader(opts):
    folder = scratch(opts, keep=SHADERS[1:])
    rc, out, err = run_to_end(opts, folder)
    check(rc == 1 and out == MSG_VERT, f"missing vertex shader: status {rc}, output {out!r}, errors {err[-500:]!r}")


def case_no_opengl_2(opts):
    folder = scratch(opts)
    rc, out, err = run_to_end(opts, folder, {"MESA_GL_VERSION_OVERRIDE": "1.5"})
    check(rc == 1 and out == MSG_NO_GL2, f"OpenGL 1.5 only: status {rc}, output {out!r}, errors {err[-500:]!r}")


CASES = {name[5:]: fn for name, fn in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--reference", required=True)
    parser.add_argument("case", choices=sorted(CASES))
    opts = parser.parse_args()
    os.makedirs(opts.out, exist_ok=True)
    check_prefix = os.environ.get("WINEPREFIX")
    if not check_prefix or not os.path.isdir(check_prefix):
        print("FAIL: WINEPREFIX must name a prefix made for this run")
        return 1
    started = time.monotonic()
    try:
        CASES[opts.case](opts)
    except (Failure, subprocess.TimeoutExpired) as e:
        print(f"FAIL wine {opts.case}: {e}")
        end_case(passed=False)
        return 1
    print(f"ok wine {opts.case} ({time.monotonic() - started:.1f} s)")
    end_case(passed=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
