"""Each lesson against its fixed-function twin, side by side in one run:
time per frame at 400 x 400, time from process start to the first frame
shown, and peak resident memory. Rounds are interleaved (lesson, twin,
next lesson, ...) and the medians reported, with each lesson's ratios to its
twin and the goals they are held to.
    python3 -m bench.lessons_bench --bin build/bin --tools build/tests [--rounds 5]
(bench/run.sh builds first and runs this on a private Xvfb.)"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

from tests.harness import LESSONS, PrivateDisplay, base_env

# Goals for time per frame: per-vertex shading may cost 10 % more than the
# fixed pipeline; per-fragment lighting, which the twin cannot do, 25 %.
PER_FRAGMENT = {"lesson_specular", "lesson_texturing_lit"}
TEXTURE_KIB = (256 * 256 * 3 + 128 * 128 * 4) // 1024


def measure(cmd, folder, display, tools, frames, threads=None):
    log = os.path.join(folder, "probe.log")
    if os.path.exists(log):
        os.remove(log)
    env = base_env(display)
    del env["LP_NUM_THREADS"]  # one program at a time here: let llvmpipe use every core
    if threads:  # or as many as asked: one thread is the steadier measure
        env["LP_NUM_THREADS"] = str(threads)
    env.update({"LD_PRELOAD": os.path.join(tools, "libframeprobe.so"), "PROBE_LOG": log,
                "PROBE_FRAMES": str(frames + 100), "PROBE_TIME_AT": f"100,{frames + 100}"})
    proc = subprocess.run(cmd, cwd=folder, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=600)
    if proc.returncode != 0:
        raise SystemExit(f"{cmd[0]} failed with status {proc.returncode}: {proc.stdout!r} {proc.stderr[-300:]!r}")
    values, times = {}, {}
    with open(log) as f:
        for line in f:
            parts = line.split()
            if parts[0] == "first-frame-ms":
                values["start"] = float(parts[1])
            elif parts[0] == "frame-ms":
                times[int(parts[1])] = float(parts[2])
            elif parts[0] == "peak-rss":
                values["peak"] = int(parts[1])
    values["frame"] = (times[frames + 100] - times[100]) / frames
    return values


def options(other=False, instructions=False):
    """The options every frame-time benchmark here takes (with `other`, the
    build to compare with), and the programs' and the probe's folders as
    whole paths."""
    parser = argparse.ArgumentParser()
    if other:
        parser.add_argument("--other", required=True)
    if instructions:
        parser.add_argument("--instructions", action="store_true")
    parser.add_argument("--bin", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--frames", type=int, default=1000)
    opts = parser.parse_args()
    return opts, os.path.abspath(opts.bin), os.path.abspath(opts.tools)


def main():
    opts, bin_dir, tools = options()

    folder = tempfile.mkdtemp(prefix="lessons-bench.")
    for name in os.listdir(bin_dir):
        if name.endswith((".vert", ".frag", ".tga")):
            shutil.copy(os.path.join(bin_dir, name), folder)

    samples = {name: {"lesson": [], "twin": []} for name in LESSONS}
    try:
        with PrivateDisplay() as display:
            for round_number in range(opts.rounds):
                for name in LESSONS:
                    work = name[len("lesson_"):]
                    samples[name]["lesson"].append(
                        measure([os.path.join(bin_dir, name)], folder, display.name, tools, opts.frames))
                    samples[name]["twin"].append(
                        measure([os.path.join(bin_dir, "ff_twin"), work], folder, display.name, tools, opts.frames))
                print(f"round {round_number + 1} of {opts.rounds} done", file=sys.stderr)
    finally:
        shutil.rmtree(folder)

    def median(name, who, key):
        return statistics.median(s[key] for s in samples[name][who])

    print(f"Medians of {opts.rounds} interleaved rounds; time per frame over {opts.frames} frames at 400 x 400.\n")
    print("| Lesson | ms/frame (twin) | ratio (goal) | ms to first frame (twin) | ratio (goal) "
          "| peak RSS MiB (twin) | within goal |")
    print("|---|---|---|---|---|---|---|")
    missed = 0
    for name in LESSONS:
        frame, frame_twin = median(name, "lesson", "frame"), median(name, "twin", "frame")
        start, start_twin = median(name, "lesson", "start"), median(name, "twin", "start")
        peak, peak_twin = median(name, "lesson", "peak"), median(name, "twin", "peak")
        frame_goal = 1.25 if name in PER_FRAGMENT else 1.10
        memory_goal = peak_twin + (TEXTURE_KIB if LESSONS[name][2] == "textured" else 0)
        ok = [frame / frame_twin <= frame_goal, start / start_twin <= 1.10, peak <= memory_goal]
        missed += not all(ok)
        marks = lambda good: "yes" if good else "**no**"
        print(f"| `{name}` | {frame:.3f} ({frame_twin:.3f}) | {frame / frame_twin:.2f} ({frame_goal:.2f}) {marks(ok[0])} "
              f"| {start:.0f} ({start_twin:.0f}) | {start / start_twin:.2f} (1.10) {marks(ok[1])} "
              f"| {peak / 1024:.1f} ({peak_twin / 1024:.1f}) | {marks(ok[2])} |")
    print(f"\n{len(LESSONS) - missed} of {len(LESSONS)} lessons meet every goal.")


if __name__ == "__main__":
    main()
