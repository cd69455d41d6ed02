"""The edit loop, as a learner lives it: save a shader, then wait for the
first frame drawn with it. Explore mode rebuilds the program inside the
running lesson, from a save written at once and from one that an editor
truncates and then writes 10 ms later (built only once it has kept still);
the restart loop (what ./run.sh --watch did before) ends the lesson and
starts it again. All in one run, on one display, interleaved:
    python3 -m bench.edit_loop --bin build/bin --tools build/tests [--saves 20] [--lesson L]
Prints the median and 95th percentile of each, and their ratio."""

import argparse
import os
import shutil
import statistics
import subprocess
import tempfile
import time

from tests.harness import LESSONS, PrivateDisplay, base_env


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return b""


def frames(tick):
    text = read(tick).strip()
    return int(text) if text.isdigit() else 0


def wait(condition, seconds=30):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            raise SystemExit(f"edit_loop: timed out waiting for {condition.__code__.co_firstlineno}")
        time.sleep(0.0005)


class Lesson:
    """The lesson running in `folder`, its frames counted by the probe."""

    def __init__(self, program, folder, display, tools, explore, ready=3):
        self.tick, self.out = os.path.join(folder, "frames"), os.path.join(folder, "stdout")
        env = base_env(display)
        del env["LP_NUM_THREADS"]  # one program at a time: let llvmpipe use every core
        env.update({"LD_PRELOAD": os.path.abspath(os.path.join(tools, "libframeprobe.so")), "PROBE_TICK": self.tick})
        for stale in (self.tick, self.out):
            if os.path.exists(stale):
                os.remove(stale)
        with open(self.out, "wb") as out:
            self.proc = subprocess.Popen([program] + (["--explore"] if explore else []), cwd=folder, env=env,
                                         stdout=out, stderr=out)
        wait(lambda: frames(self.tick) >= ready)

    def stop(self):
        self.proc.kill()
        self.proc.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--saves", type=int, default=20)
    parser.add_argument("--lesson", default="lesson_specular")
    opts = parser.parse_args()
    stem = LESSONS[opts.lesson][1]
    folder = tempfile.mkdtemp(prefix="edit_loop.")
    try:
        for name in os.listdir(opts.bin):
            if name.endswith((".vert", ".frag", ".tga")):
                shutil.copy(os.path.join(opts.bin, name), folder)
        frag = os.path.join(folder, stem + ".frag")
        original = read(frag)
        program = os.path.abspath(os.path.join(opts.bin, opts.lesson))

        def save(n, pause=0.0):  # a real change: the picture's brightness
            text = original.replace(b"gl_FragColor = vec4(", f"gl_FragColor = {0.9 + n % 2 * 0.1:.1f} * vec4(".encode())
            with open(frag, "wb") as f:
                half = len(text) // 2 if pause else 0
                if pause:  # truncated, half written, the rest a moment later
                    f.write(text[:half])
                    f.flush()
                    time.sleep(pause)
                f.write(text[half:])

        def drawn_after(running, n, pause=0.0):
            built = read(running.out).count(b"Drawing with")
            start = time.monotonic()
            save(n, pause)
            wait(lambda: read(running.out).count(b"Drawing with") > built)
            drawn = frames(running.tick)
            wait(lambda: frames(running.tick) > drawn)
            return time.monotonic() - start

        live, halves, restart = [], [], []
        with PrivateDisplay() as display:
            running = Lesson(program, folder, display.name, opts.tools, explore=True)
            for n in range(opts.saves):
                # Explore mode: the same process notices, rebuilds, draws.
                live.append(drawn_after(running, n))
                halves.append(drawn_after(running, n + 1, pause=0.01))
                # The restart loop: end the lesson, start it again, first frame.
                save(n + 1)
                start = time.monotonic()
                running.stop()
                old = Lesson(program, folder, display.name, opts.tools, explore=False, ready=1)
                restart.append(time.monotonic() - start)
                old.stop()
                running = Lesson(program, folder, display.name, opts.tools, explore=True)
                time.sleep(0.1)
            running.stop()
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    def p95(values):
        return sorted(values)[max(0, int(round(0.95 * len(values))) - 1)]

    ms = lambda s: f"{s * 1000:.0f} ms"
    print(f"{opts.lesson}, {opts.saves} saves of {stem}.frag, save to first frame drawn with it:")
    print(f"  explore mode (rebuilt in place): median {ms(statistics.median(live))}, 95th percentile {ms(p95(live))}")
    print(f"  explore, a save written in two:  median {ms(statistics.median(halves))}, 95th percentile {ms(p95(halves))}")
    print(f"  restart loop (new process):      median {ms(statistics.median(restart))}, 95th percentile {ms(p95(restart))}")
    print(f"  explore / restart, medians: {statistics.median(live) / statistics.median(restart):.2f}")


if __name__ == "__main__":
    main()
