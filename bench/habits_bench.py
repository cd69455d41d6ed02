"""A learner's habits, timed. Screenshots: the time from `s` to the saved
file in explore mode, the run's first press, with 0, 1,000 and 10,000
earlier pictures of the lesson in the folder (against 0). Builds: after a
change to common/, one `./run.sh LESSON` without a display against two
started together in a fresh clone of this repository (both statuses, the
time until both have ended). All in one run, rounds interleaved:
    python3 -m bench.habits_bench --bin build/bin --tools build/tests [--rounds 5] [--no-builds]"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from tests.harness import Lesson, PrivateDisplay, Running

LESSON = "lesson_specular"
PICTURES = (0, 1000, 10000)


def first_press(lesson, count, display):
    """Seconds from the run's first `s` to "Saved", with `count` pictures there."""
    folder = lesson.scratch()
    for n in range(1, count + 1):
        open(os.path.join(folder, f"{lesson.name}-{n:03d}.png"), "wb").close()
    try:
        with Running(lesson, folder, display, explore=True) as running:
            running.key("space")
            started = time.monotonic()
            running.key("s")
            while not re.search(rb"^Saved ", running.output()[0], re.M):
                if time.monotonic() - started > 300:
                    raise SystemExit(f"no screenshot with {count} pictures there")
                time.sleep(0.001)
            return time.monotonic() - started
    finally:
        shutil.rmtree(folder)


def screenshots(opts):
    out = tempfile.mkdtemp(prefix="habits-bench.")
    lesson = Lesson(LESSON, opts.bin, opts.tools, out)
    times = {count: [] for count in PICTURES}
    try:
        with PrivateDisplay() as display:
            for round_number in range(opts.rounds):
                for count in PICTURES:
                    times[count].append(first_press(lesson, count, display))
                print(f"screenshots: round {round_number + 1} of {opts.rounds} done", file=sys.stderr)
    finally:
        shutil.rmtree(out)
    reference = statistics.median(times[0])
    print(f"\nThe first `s` of an explore run of {LESSON}, to the file saved: medians of {opts.rounds} rounds.\n")
    print("| Pictures already there | ms | against none |")
    print("|---|---|---|")
    for count in PICTURES:
        median = statistics.median(times[count])
        print(f"| {count:,} | {median * 1000:.0f} | {median / reference:.2f} |")


def run_sh(clone, count):
    """Starts `count` ./run.sh at once after a change to common/: their
    statuses and the seconds until all have ended."""
    os.utime(os.path.join(clone, "common", "scene.cpp"))
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    started = time.monotonic()
    procs = [subprocess.Popen([os.path.join(clone, "run.sh"), "lesson_ambient"], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE) for _ in range(count)]
    statuses = [p.wait(timeout=600) for p in procs]
    took = time.monotonic() - started
    for p in procs:
        p.stderr.close()
    return statuses, took


def builds(opts):
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    top = tempfile.mkdtemp(prefix="habits-bench.")
    clone = os.path.join(top, "clone")
    try:
        subprocess.run(["git", "clone", "-q", source, clone], check=True)
        statuses, _ = run_sh(clone, 1)  # the first build, not timed
        if statuses != [0]:
            raise SystemExit(f"./run.sh in a fresh clone ended with {statuses}")
        one, two, seen = [], [], []
        for round_number in range(opts.rounds):
            for count, times in ((1, one), (2, two)):
                statuses, took = run_sh(clone, count)
                times.append(took)
                seen += statuses
            print(f"builds: round {round_number + 1} of {opts.rounds} done", file=sys.stderr)
    finally:
        shutil.rmtree(top)
    failed = [s for s in seen if s != 0]
    print(f"\n`./run.sh lesson_ambient` without a display after a change to common/, in a fresh clone: "
          f"medians of {opts.rounds} rounds; {len(seen)} runs, {len(failed)} failed.\n")
    print("| Runs started together | s until all ended | against one |")
    print("|---|---|---|")
    reference = statistics.median(one)
    for count, times in ((1, one), (2, two)):
        print(f"| {count} | {statistics.median(times):.2f} | {statistics.median(times) / reference:.2f} |")
    if failed:
        raise SystemExit(f"{len(failed)} of {len(seen)} runs failed: {failed}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--no-builds", action="store_true")
    opts = parser.parse_args()
    screenshots(opts)
    if not opts.no_builds:
        builds(opts)


if __name__ == "__main__":
    main()
