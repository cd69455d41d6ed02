"""Each lesson in the core profile against the same lesson with OpenGL's
built-in state, side by side in one run: time per frame at 400 x 400, the
medians of interleaved rounds (built-in, core, next lesson, ...), and their
ratio, held to the goal that core costs no more (<= 1.00).
    python3 -m bench.core_bench --bin build/bin --tools build/tests [--rounds 5]"""

import os
import shutil
import statistics
import sys
import tempfile

from tests.harness import LESSONS, PrivateDisplay
from bench.lessons_bench import measure, options


def main():
    opts, bin_dir, tools = options()
    folder = tempfile.mkdtemp(prefix="core-bench.")
    shutil.copytree(bin_dir, folder, dirs_exist_ok=True,
                    ignore=lambda _, names: [n for n in names if n.endswith(".png")])
    frames = {name: {"built-in": [], "core": []} for name in LESSONS}
    try:
        with PrivateDisplay() as display:
            for round_number in range(opts.rounds):
                for name in LESSONS:
                    for way, args in (("built-in", []), ("core", ["--core"])):
                        frames[name][way].append(measure([os.path.join(bin_dir, name), *args], folder,
                                                         display.name, tools, opts.frames)["frame"])
                print(f"round {round_number + 1} of {opts.rounds} done", file=sys.stderr)
    finally:
        shutil.rmtree(folder)

    print(f"Medians of {opts.rounds} interleaved rounds; time per frame over {opts.frames} frames at 400 x 400.\n")
    print("| Lesson | ms/frame built-in | ms/frame core | core / built-in (goal 1.00) |")
    print("|---|---|---|---|")
    for name in LESSONS:
        built_in, core = (statistics.median(frames[name][w]) for w in ("built-in", "core"))
        mark = "" if core / built_in <= 1.0 else " **over**"
        print(f"| `{name}` | {built_in:.3f} | {core:.3f} | {core / built_in:.2f}{mark} |")


if __name__ == "__main__":
    main()
