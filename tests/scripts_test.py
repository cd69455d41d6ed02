"""The scripts a learner types: run.sh's usage, and the headless run of a
lesson that ends by itself right after its window appears.
    python3 scripts_test.py SOURCE_DIR BIN_DIR SCRATCH_DIR"""

import os
import shutil
import subprocess
import sys

failures = []


def expect(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL", what)


def main(source, bin_dir, scratch):
    run_sh = os.path.join(source, "run.sh")
    lessons = sorted(os.listdir(os.path.join(source, "lessons")))
    # Usage: asked for, it goes to standard output with status 0; after a
    # mistake, to standard error with status 2, before anything is built.
    for args, status in ((["--help"], 0), (["-h"], 0), (["--bogus"], 2), (["lesson_diffuse", "extra"], 2),
                         (["--explore"], 2), (["no_such_lesson"], 2)):
        proc = subprocess.run([run_sh, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        text = (proc.stdout if status == 0 else proc.stderr).decode()
        expect(proc.returncode == status and "usage:" in text and all(l in text for l in lessons),
               f"run.sh {' '.join(args)}: status {proc.returncode}, output {proc.stdout!r}, errors {proc.stderr!r}")

    # A lesson whose fragment shader takes a moment to compile and then fails:
    # its window is there, then it is gone before the screenshot.
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    for name in ("lesson_specular", "oswietlenie_odbite.vert"):
        shutil.copy(os.path.join(bin_dir, name), scratch)
    with open(os.path.join(scratch, "oswietlenie_odbite.frag"), "wb") as f:
        f.write(b"#version 110\n" + (b"// " + b"y" * 60 + b"\n") * 262144 + b"void main() { mistake; }\n")
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    shot = os.path.join(scratch, "shot.png")
    try:
        proc = subprocess.run([os.path.join(source, "tools", "headless.sh"), scratch, "lesson_specular", shot],
                              env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=40)
        out = proc.stdout.decode()
        expect(proc.returncode == 1 and "GL_COMPILE_STATUS ERROR!" in out and "exited with status 1." in out,
               f"a lesson that ends by itself: status {proc.returncode}, output {out[-300:]!r}")
    except subprocess.TimeoutExpired:
        expect(False, "headless.sh hung on a lesson that ended by itself")
    if not failures:
        shutil.rmtree(scratch)
        print("ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
