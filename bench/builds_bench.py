"""Each lesson, in both profiles, in this build against another build of the
project (an earlier commit's, say), side by side in one run: time per frame
at 400 x 400, the medians of interleaved rounds (this, other, next ...), and
their ratio, held to the goal that a change costs at most 2 % (<= 1.02).
With --instructions, the instructions a frame takes instead, counted by
valgrind's callgrind (llvmpipe drawing on the program's own thread, Mesa's
shader cache off): the same count every run, where times on a shared
machine swing by 10 % from round to round.
    python3 -m bench.builds_bench --bin build/bin --tools build/tests --other OTHER/build/bin [--rounds 5]
    python3 -m bench.builds_bench ... --instructions
(The other build's folder holds its own programs and data; the frame probe is
this build's.)"""

import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

from tests.harness import LESSONS, PrivateDisplay, base_env
from bench.lessons_bench import measure, options


def instructions(cmd, folder, display, tools, frames):
    """Instructions the whole run takes, ended by the probe after `frames` frames."""
    env = base_env(display)
    env.update({"LP_NUM_THREADS": "0", "MESA_SHADER_CACHE_DISABLE": "true",
                "LD_PRELOAD": os.path.join(tools, "libframeprobe.so"), "PROBE_FRAMES": str(frames),
                "PROBE_LOG": os.path.join(folder, f"probe.{os.getpid()}.{frames}.{len(cmd)}.log")})
    proc = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null", *cmd], cwd=folder,
                          env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=1800)
    found = re.search(rb"Collected : (\d+)", proc.stderr)
    if proc.returncode != 0 or not found:
        raise SystemExit(f"{cmd} under callgrind: status {proc.returncode}, {proc.stderr[-300:]!r}")
    return int(found.group(1))


def per_frame(opts, builds, folder, display, tools):
    """Instructions per frame: a run of 120 frames less one of 20, over 100."""
    jobs = [(name, way, build, where) for name in LESSONS for way in ("built-in", "core") for build, where in builds]

    def count(job):
        name, way, _, where = job
        cmd = [os.path.join(where, name)] + (["--core"] if way == "core" else [])
        return (instructions(cmd, folder, display, tools, 120) - instructions(cmd, folder, display, tools, 20)) / 100

    with ThreadPoolExecutor(max_workers=os.cpu_count()) as pool:
        counts = dict(zip(((n, w, b) for n, w, b, _ in jobs), pool.map(count, jobs)))
    print("Instructions per frame (callgrind: frames 21 to 120, llvmpipe on the program's thread).\n")
    print("| Lesson | profile | this | other | this / other (goal 1.02) |")
    print("|---|---|---|---|---|")
    for name in LESSONS:
        for way in ("built-in", "core"):
            this, then = counts[(name, way, "this")], counts[(name, way, "other")]
            mark = "" if this / then <= 1.02 else " **over**"
            print(f"| `{name}` | {way} | {this:,.0f} | {then:,.0f} | {this / then:.4f}{mark} |")


def main():
    opts, bin_dir, tools = options(other=True, instructions=True)
    other = os.path.abspath(opts.other)
    folder = tempfile.mkdtemp(prefix="builds-bench.")
    shutil.copytree(bin_dir, folder, dirs_exist_ok=True,
                    ignore=lambda _, names: [n for n in names if n.endswith(".png")])
    builds = (("this", bin_dir), ("other", other))
    if opts.instructions:
        try:
            with PrivateDisplay() as display:
                per_frame(opts, builds, folder, display.name, tools)
        finally:
            shutil.rmtree(folder)
        return
    frames = {(name, way): {build: [] for build, _ in builds} for name in LESSONS for way in ("built-in", "core")}
    try:
        with PrivateDisplay() as display:
            for round_number in range(opts.rounds):
                for (name, way), samples in frames.items():
                    for build, where in builds:
                        args = ["--core"] if way == "core" else []
                        samples[build].append(measure([os.path.join(where, name), *args], folder, display.name,
                                                      tools, opts.frames, threads=1)["frame"])
                print(f"round {round_number + 1} of {opts.rounds} done", file=sys.stderr)
    finally:
        shutil.rmtree(folder)

    print(f"Medians of {opts.rounds} interleaved rounds; time per frame over {opts.frames} frames at 400 x 400, "
          "llvmpipe on one thread (the steadier measure).\n")
    print("| Lesson | profile | ms/frame this | ms/frame other | this / other (goal 1.02) |")
    print("|---|---|---|---|---|")
    for (name, way), samples in frames.items():
        this, then = (statistics.median(samples[b]) for b, _ in builds)
        mark = "" if this / then <= 1.02 else " **over**"
        print(f"| `{name}` | {way} | {this:.3f} | {then:.3f} | {this / then:.3f}{mark} |")


if __name__ == "__main__":
    main()
