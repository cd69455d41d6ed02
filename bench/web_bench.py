"""The web page against the desktop, in one run: time from loading the page
to its first frame (headless Chromium on SwiftShader, Firefox ESR and
WebKitGTK on Mesa's llvmpipe in an Xvfb each), the work of a frame on
the page against a frame of the same lesson's core profile on the desktop
(llvmpipe) at 400 x 400, medians of interleaved rounds and their ratio; and
the size of what a learner downloads, as sent with gzip.
    python3 -m bench.web_bench --bin build/bin --tools build/tests --page build/web/page [--rounds 5]
    python3 -m bench.web_bench ... --page build/web/page --other OTHER/page   (first frames only)
Goals: the first frame within 2 s; the download under 1 MB compressed."""

import argparse
import gzip
import os
import statistics
import sys

from tests.web import devtools
from tests.harness import LESSONS, PrivateDisplay
from bench.lessons_bench import measure

def first_frame(url, lesson, engine="chromium"):
    """ms from the start of loading the page to its first frame, in a browser
    just started with an empty profile: a learner's first visit."""
    with devtools.browser(engine) as browser:
        browser.open(f"{url}index.html?lesson={lesson}")
        return browser.js("lessonProbe.timeOf(1)", timeout=60)


def page_frames(browser, url, lesson, frames):
    """Median ms of a frame's work on the page, from the start of the
    lesson's drawing to its last pixel, over `frames` frames after the 100th."""
    browser.open(f"{url}index.html?lesson={lesson}")
    browser.js(f"lessonProbe.timeOf({frames + 100})", timeout=600)
    costs = browser.js(f"Array.from({{length: {frames}}}, (_, i) => lessonProbe.cost(i + 101))")
    return statistics.median(costs)


def download(page):
    """Bytes of what the page loads, raw and gzipped, by kind: the program
    (lessons.js, the wasm inside it), the page (HTML and script), the files
    the lessons read (packed in files.js), the guide (guide.js) and the editor
(CodeMirror, editor.js and editor.css). The loose
    shaders and images beside them are there to read, not loaded."""
    kinds = {"the program (lessons.js)": ["lessons.js"], "the page (index.html, page.js)": ["index.html", "page.js"],
             "shaders, images, exercises (files.js)": ["files.js"], "the guide (guide.js)": ["guide.js"],
             "the editor (editor.js, editor.css: CodeMirror)": ["editor.js", "editor.css"]}
    sizes = {}
    for kind, names in kinds.items():
        sizes[kind] = [0, 0]
        for name in names:
            path = os.path.join(page, name)
            if os.path.exists(path):
                data = open(path, "rb").read()
                sizes[kind][0] += len(data)
                sizes[kind][1] += len(gzip.compress(data, 9))
    return sizes


def against_other(page, other, rounds):
    """The first frame of this page against another build's (`--other`, say
    the page before a change), interleaved in fresh Chromiums: the ratio."""
    this_url, other_url = devtools.serve(os.path.abspath(page)), devtools.serve(os.path.abspath(other))
    this, that = [], []
    for _ in range(rounds):
        for name in LESSONS:
            that.append(first_frame(other_url, name))
            this.append(first_frame(this_url, name))
    a, b = statistics.median(this), statistics.median(that)
    print(f"First frame in Chromium, medians of {len(this)} loads interleaved: this page {a:.0f} ms, "
          f"the other {b:.0f} ms, this / other {a / b:.2f}")
    for kind, sizes in (("this page", download(page)), ("the other", download(other))):
        print(f"  {kind}: {sum(v[1] for v in sizes.values()):,} bytes with gzip -9")


def main():
    parser = argparse.ArgumentParser()
    for option in ("bin", "tools", "page"):
        parser.add_argument("--" + option, required=True)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--frames", type=int, default=300)
    parser.add_argument("--other", help="another build's page folder: only the first frames, against it")
    opts = parser.parse_args()
    bin_dir, tools = os.path.abspath(opts.bin), os.path.abspath(opts.tools)

    if opts.other:
        return against_other(opts.page, opts.other, opts.rounds)
    url = devtools.serve(os.path.abspath(opts.page))
    first, firefox, webkit, web, desktop = ({name: [] for name in LESSONS} for _ in range(5))
    with PrivateDisplay() as display, devtools.Browser() as browser:
        browser.call("Page.addScriptToEvaluateOnNewDocument", source="window.lessonProbeTiming = true",
                     session=True)
        for round_number in range(opts.rounds):
            for name in LESSONS:
                first[name].append(first_frame(url, name))
                firefox[name].append(first_frame(url, name, "firefox"))
                webkit[name].append(first_frame(url, name, "webkit"))
                web[name].append(page_frames(browser, url, name, opts.frames))
                desktop[name].append(measure([os.path.join(bin_dir, name), "--core"], bin_dir, display.name,
                                             tools, opts.frames)["frame"])
            print(f"round {round_number + 1} of {opts.rounds} done", file=sys.stderr)

    print(f"Medians of {opts.rounds} interleaved rounds, at 400 x 400: the first frame in a browser just "
          f"started; on the desktop, time per frame over {opts.frames} frames drawn as fast as they can be; "
          f"on the page (which draws at the display's 60 Hz), the median frame's work to its last pixel.\n")
    print("| Lesson | page load to first frame, ms (goal 2000): Chromium | Firefox ESR | WebKitGTK "
          "| Firefox / Chromium | WebKit / Chromium "
          "| ms/frame desktop core (llvmpipe) | ms/frame page (SwiftShader) | page / desktop |")
    print("|---|---|---|---|---|---|---|---|---|")
    for name in LESSONS:
        start, fox, kit, d, w = (statistics.median(v[name]) for v in (first, firefox, webkit, desktop, web))
        print(f"| `{name}` | {start:.0f} | {fox:.0f} | {kit:.0f} | {fox / start:.2f} | {kit / start:.2f} "
              f"| {d:.3f} | {w:.3f} | {w / d:.2f} |")
    print("\n| What a learner downloads | bytes | gzip -9 |")
    print("|---|---|---|")
    kinds = download(opts.page)
    for kind, (raw, packed) in kinds.items():
        print(f"| {kind} | {raw:,} | {packed:,} |")
    raw, packed = (sum(v[i] for v in kinds.values()) for i in (0, 1))
    print(f"| in all (goal under 1 MB compressed) | {raw:,} | {packed:,} |")


if __name__ == "__main__":
    main()
