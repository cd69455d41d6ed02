"""A teacher's report of a class: tools/check_folder.sh over 30 learners'
folders (half the answers right, half the ambient pair), against the same
folder with one learner's pair that crashes the driver's compiler and one
whose check never ends in place of two others, in one run. What the time
limit (CHECK_SECONDS) costs the class: about the limit itself, once, and
every other learner's row is there.
    python3 -m bench.class_bench [--learners 30] [--seconds 10]"""

import argparse
import os
import shutil
import subprocess
import tempfile
import time

PROJECT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CRASHING = ("#version 110\nvoid main() { float s = " + " + ".join(f"{i % 7}.0" for i in range(20000))
            + "; gl_FragColor = vec4(s, gl_Color.gb, 1.0); }\n")
ENDLESS = ("#version 110\nvoid main() { float s = 0.0; for (int i = 0; i < 2000000000; i++)"
           " for (int j = 0; j < 2000000000; j++) s += sin(float(i * j)); gl_FragColor = vec4(s); }\n")


def make_class(folder, learners, broken):
    data = os.path.join(PROJECT, "data")
    for n in range(learners):
        mine = os.path.join(folder, f"learner{n:02d}")
        os.makedirs(mine)
        stem = "oswietlenie_rozproszone" if n % 2 == 0 else "oswietlenie_otoczenia"
        for kind in ("vert", "frag"):
            shutil.copy(os.path.join(data, f"{stem}.{kind}"), os.path.join(mine, f"{stem}.{kind}"))
        if broken and n in (3, 7):
            with open(os.path.join(mine, f"{stem}.frag"), "w") as f:
                f.write(CRASHING if n == 3 else ENDLESS)


def report(folder, seconds):
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    env["CHECK_SECONDS"] = str(seconds)
    started = time.monotonic()
    proc = subprocess.run([os.path.join(PROJECT, "tools", "check_folder.sh"), "lesson_diffuse", folder,
                           "--report", os.path.join(folder, "report.html")], env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=3600)
    took = time.monotonic() - started
    rows = open(os.path.join(folder, "report.html")).read().count('<tr><td><a href="#')
    return took, proc.returncode, rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--learners", type=int, default=30)
    parser.add_argument("--seconds", type=int, default=10)
    opts = parser.parse_args()
    scratch = tempfile.mkdtemp(prefix="class-bench.")
    try:
        warm = os.path.join(scratch, "warm")  # the build checked, the caches filled
        make_class(warm, 2, False)
        report(warm, 60)
        results = {}
        for broken in (False, True):
            folder = os.path.join(scratch, "broken" if broken else "plain")
            make_class(folder, opts.learners, broken)
            results[broken] = report(folder, opts.seconds)
        plain, broken = results[False], results[True]
        print(f"tools/check_folder.sh lesson_diffuse over {opts.learners} learners, CHECK_SECONDS={opts.seconds}:\n")
        print("| The class | seconds | status | rows | against the class without them |")
        print("|---|---|---|---|---|")
        print(f"| every pair builds and ends | {plain[0]:.1f} | {plain[1]} | {plain[2]} | 1.00 |")
        print(f"| one pair crashes the compiler, one never ends | {broken[0]:.1f} | {broken[1]} | {broken[2]} "
              f"| {broken[0] / plain[0]:.2f} |")
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
