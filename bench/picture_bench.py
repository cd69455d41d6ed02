"""Pictures on demand against the plain run, side by side in one run: the
time from a lesson's start to its picture saved (`--picture`, at 400 x 400 and
at 1600 x 1200) against the time from its start to its first frame in the
window (the frame probe ends it there), the medians of interleaved rounds.
    python3 -m bench.picture_bench --bin build/bin --tools build/tests [--rounds 5]"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from tests.harness import LESSONS, PrivateDisplay, base_env
from bench.lessons_bench import options


def seconds(cmd, folder, env):
    started = time.monotonic()
    proc = subprocess.run(cmd, cwd=folder, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)
    if proc.returncode != 0:
        raise SystemExit(f"{cmd} failed with status {proc.returncode}: {proc.stderr[-300:]!r}")
    return time.monotonic() - started


def main():
    opts, bin_dir, tools = options()
    folder = tempfile.mkdtemp(prefix="picture-bench.")
    shutil.copytree(bin_dir, folder, dirs_exist_ok=True,
                    ignore=lambda _, names: [n for n in names if n.endswith(".png")])
    kinds = ("first frame", "picture 400 x 400", "picture 1600 x 1200")
    times = {(name, kind): [] for name in LESSONS for kind in kinds}
    try:
        with PrivateDisplay() as display:
            env = base_env(display.name)
            del env["LP_NUM_THREADS"]  # one program at a time here: let llvmpipe use every core
            probe = dict(env, LD_PRELOAD=os.path.join(tools, "libframeprobe.so"), PROBE_FRAMES="1",
                         PROBE_LOG=os.path.join(folder, "probe.log"))
            for round_number in range(opts.rounds):
                for name in LESSONS:
                    program = os.path.join(folder, name)
                    times[(name, kinds[0])].append(seconds([program], folder, probe))
                    times[(name, kinds[1])].append(seconds([program, "--picture", "p.png"], folder, env))
                    times[(name, kinds[2])].append(
                        seconds([program, "--picture", "p.png", "--size", "1600x1200"], folder, env))
                print(f"round {round_number + 1} of {opts.rounds} done", file=sys.stderr)
    finally:
        shutil.rmtree(folder)

    print(f"Medians of {opts.rounds} interleaved rounds, from the program's start to its end.\n")
    print("| Lesson | ms to first frame | ms to a 400 x 400 picture (ratio) | ms to a 1600 x 1200 picture (ratio) |")
    print("|---|---|---|---|")
    for name in LESSONS:
        first, small, large = (statistics.median(times[(name, k)]) * 1000 for k in kinds)
        print(f"| `{name}` | {first:.0f} | {small:.0f} ({small / first:.2f}) | {large:.0f} ({large / first:.2f}) |")


if __name__ == "__main__":
    main()
