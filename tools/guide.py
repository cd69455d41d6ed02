#!/usr/bin/env python3
"""Writes the shaders' code into the guide, docs/lessons.md, between its markers:
    <!-- code: FILE -->      ...  <!-- end code -->    FILE as it stands
    <!-- diff: OLD NEW -->   ...  <!-- end diff -->    what NEW changes in OLD (diff -u)
    <!-- exercises: LESSON --> ... <!-- end exercises -->
                                                      the exercises drawn in LESSON's scene,
                                                      from exercises/exercises.txt (never
                                                      their solutions)
The files are named from the top of the project. The exercises are as the
lessons' own program lists them (--list-exercises), from build/bin or --bin
BIN. After changing a shader or an exercise:
    tools/guide.py [--bin BIN]           rewrites the guide
    tools/guide.py [--bin BIN] --check   fails, naming the blocks, when the guide is stale"""

import argparse
import difflib
import json
import os
import re
import subprocess
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
GUIDE = os.path.join(ROOT, "docs", "lessons.md")
BLOCK = re.compile(r"<!-- (code|diff|exercises): ([^>]*?) -->\n.*?<!-- end \1 -->\n", re.S)


def lines_of(name):
    with open(os.path.join(ROOT, name)) as f:
        return f.read().splitlines(keepends=True)


EXERCISES = []  # as the lessons' program lists them


def list_exercises(bin_dir):
    program = os.path.join(bin_dir, "lesson_ambient")
    if not os.path.exists(program):
        raise SystemExit(f"tools/guide.py reads the exercises through {program}: build it first "
                         "(cmake -S . -B build && cmake --build build), or give --bin")
    listed = subprocess.run([program, "--list-exercises", "json"], stdout=subprocess.PIPE, check=True)
    EXERCISES.extend(json.loads(listed.stdout))


def exercises_of(lesson):
    """The exercises drawn in `lesson`'s scene, as the guide tells them."""
    blocks = EXERCISES
    text = ["### Exercises\n\n"]
    if lesson == "lesson_ambient":
        text.append("Each exercise is checked against its target picture in several scenes every time "
                    "you save (`./run.sh --exercise NAME`, with `--core` for the core profile): your "
                    "pair goes in `mine/NAME/`, the target is drawn beside your picture, the terminal "
                    "and the title say which scenes pass and what a failing one means, `p` shows a "
                    "scene that fails, `d` where yours differs, `n` gives a hint (and last, the solution). `./run.sh "
                    "--exercises` lists them with how far you got.\n\n")
    else:
        text.append("Start one with `./run.sh --exercise NAME` (`--core` too), as in lesson 1.\n\n")
    for e in blocks:
        if e.get("lesson") == lesson:
            text.append(f"- **`{e['name']}`**: {e['statement']} *It teaches:* {e['teaches']}\n")
    return "".join(text) + "\n"


def block(match):
    kind, names = match.group(1), match.group(2).split()
    if kind == "exercises":
        return f"<!-- exercises: {names[0]} -->\n{exercises_of(names[0])}<!-- end exercises -->\n"
    if kind == "code":
        body, language = "".join(lines_of(names[0])), "glsl"
    else:
        body = "".join(difflib.unified_diff(lines_of(names[0]), lines_of(names[1]), names[0], names[1]))
        language = "diff"
    return f"<!-- {kind}: {' '.join(names)} -->\n```{language}\n{body}```\n<!-- end {kind} -->\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", default=os.path.join(ROOT, "build", "bin"))
    parser.add_argument("--check", action="store_true")
    opts = parser.parse_args()
    list_exercises(opts.bin)
    with open(GUIDE) as f:
        old = f.read()
    new = BLOCK.sub(block, old)
    if opts.check:
        stale = [m.group(2) for m, n in zip(BLOCK.finditer(old), BLOCK.finditer(new)) if m.group(0) != n.group(0)]
        if stale:
            print("docs/lessons.md is stale; run tools/guide.py. Blocks that changed:", *stale, sep="\n  ")
            return 1
        print(f"docs/lessons.md: {len(BLOCK.findall(old))} blocks match the shaders")
        return 0
    with open(GUIDE, "w") as f:
        f.write(new)
    return 0


if __name__ == "__main__":
    sys.exit(main())
