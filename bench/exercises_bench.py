"""A whole check of an exercise (every probe: the answer and the target,
each drawn twice per probe), from the lesson's start to its end, against one
picture on demand of the same lesson (`--picture`), its reference measured
in the same run; both profiles, medians of interleaved rounds:
    python3 -m bench.exercises_bench --bin build/bin [--rounds 5]"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

from tests.harness import PrivateDisplay, base_env, exercises_listed


def seconds(command, folder, env, ok=(0,)):
    started = time.monotonic()
    proc = subprocess.run(command, cwd=folder, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)
    if proc.returncode not in ok:
        raise SystemExit(f"{command} ended with status {proc.returncode}: {proc.stderr[-300:]!r}")
    return time.monotonic() - started


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    opts = parser.parse_args()
    bin_dir = os.path.abspath(opts.bin)
    project = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    listed = {core: exercises_listed(bin_dir, core) for core in (False, True)}
    exercises = listed[False]
    picture = os.path.join(tempfile.mkdtemp(prefix="exercises-bench."), "p.png")
    times = {}
    with PrivateDisplay() as display:
        env = base_env(display.name)
        del env["LP_NUM_THREADS"]  # one program at a time: let llvmpipe use every core
        for round_number in range(opts.rounds):
            for name, e in exercises.items():
                for core in (False, True):
                    args = [os.path.join(bin_dir, e["lesson"])] + ["--core"] * core
                    pair = [os.path.join(project, f) for f in listed[core][name]["solution"]]
                    check = seconds(args + ["--check", name, "--pair", *pair], bin_dir, env)
                    one = seconds(args + ["--picture", picture], bin_dir, env)
                    times.setdefault((name, core), []).append((check, one))
            print(f"round {round_number + 1} of {opts.rounds} done", file=sys.stderr)
    os.remove(picture)
    print(f"Medians of {opts.rounds} rounds, from the lesson's start to its end, in ms; "
          "the check's probes are 200 x 200, the picture 400 x 400.\n")
    print("| Exercise | probes | GLSL 1.10: check (against one picture) | core profile: check (against one picture) |")
    print("|---|---|---|---|")
    for name, e in exercises.items():
        cells = []
        for core in (False, True):
            check = statistics.median(t[0] for t in times[(name, core)]) * 1000
            one = statistics.median(t[1] for t in times[(name, core)]) * 1000
            cells.append(f"{check:.0f} ({check / one:.2f})")
        print(f"| `{name}` | {len(e['probes'])} | {cells[0]} | {cells[1]} |")


if __name__ == "__main__":
    main()
