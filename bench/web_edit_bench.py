"""The page's edit loop, in each engine (headless Chromium on SwiftShader,
Firefox ESR and WebKitGTK on llvmpipe in an Xvfb each): the time from an
edit of the fragment shader (a change in the editor, as a keystroke makes
it) to the broken line named in the problems list and marked in the editor
(the line tinted, the message under it), and from a good edit to the
first frame drawn with it; against the build alone (the program's pageBuild
called directly) measured in the same run, in the same browser. Medians:
    python3 -m bench.web_edit_bench --page build/web/page [--rounds 20] [--lesson L]
        [--engines chromium,firefox,webkit]"""

import argparse
import os
import statistics

from tests.web import devtools

ROUNDS = """(async (rounds) => {
  const editorOf = (id) => document.querySelector(`#${id} + .CodeMirror`).CodeMirror;
  const editor = editorOf('fragment');
  const vertex = editorOf('vertex');
  const own = editor.getValue();
  const times = { error: [], picture: [], build: [] };
  // An edit as a learner makes one: only the lines that change are replaced.
  const edit = (text) => {
    const now = editor.getValue().split('\\n'), next = text.split('\\n');
    let first = 0, end = 0;
    while (first < Math.min(now.length, next.length) && now[first] === next[first]) first++;
    while (end < Math.min(now.length, next.length) - first &&
           now[now.length - 1 - end] === next[next.length - 1 - end]) end++;
    const began = performance.now();
    editor.replaceRange(next.slice(first, next.length - end).join('\\n'),
                        { line: first, ch: 0 }, { line: now.length - 1 - end, ch: now[now.length - 1 - end].length });
    return began;
  };
  for (let r = 0; r < rounds; r++) {
    const broken = own.replace('void main()', `void main() { undeclared${r} = 1.0; }\\nvoid unused()`);
    let began = edit(broken);
    if (!document.getElementById('problems').textContent.includes(`undeclared${r}`)) throw new Error('no problem listed');
    await new Promise((shown) => requestAnimationFrame(shown));  // the editor draws its mark
    if (!document.querySelector('.problem-note')) throw new Error('no line marked');
    times.error.push(performance.now() - began);
    const blue = own.replace('fragColour = ', `fragColour = vec4(0.0, 0.0, ${(r % 9 + 1) / 10}, 1.0); //`);
    began = edit(blue);
    await lessonProbe.frame(null);  // the next frame, drawn with the edit
    times.picture.push(performance.now() - began);
    const other = blue.replace('void main()', `// round ${r}, built once\nvoid main()`);  // a text not built before
    began = performance.now();
    Module.ccall('pageBuild', 'string', ['string', 'string'], [vertex.getValue(), other]);
    times.build.push(performance.now() - began);
  }
  edit(own);
  return times;
})"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--rounds", type=int, default=20)
    parser.add_argument("--lesson", default="lesson_specular")
    parser.add_argument("--engines", default="chromium,firefox,webkit")
    opts = parser.parse_args()
    url = devtools.serve(opts.page)
    print(f"{opts.lesson} on the page, medians of {opts.rounds} rounds (ms), each engine against its own "
          "build alone:\n")
    print("| Engine | the build alone (pageBuild) | the broken line named and marked | ratio "
          "| the first frame with a good edit | ratio |")
    print("|---|---|---|---|---|---|")
    for engine in opts.engines.split(","):
        with devtools.browser(engine) as b:
            b.open(f"{url}index.html?lesson={opts.lesson}")
            b.wait_console(lambda line: line.startswith("Explore mode: "), 20)
            b.wait_js("document.querySelector('#fragment + .CodeMirror').CodeMirror.getValue().length > 0", 10)
            times = b.js(f"{ROUNDS}({opts.rounds})", timeout=300)
        build, error, picture = (statistics.median(times[k]) for k in ("build", "error", "picture"))
        print(f"| {engine} | {build:.1f} | {error:.1f} | {error / build:.2f} | {picture:.1f} | {picture / build:.2f} |")


if __name__ == "__main__":
    main()
