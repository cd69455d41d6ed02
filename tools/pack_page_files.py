#!/usr/bin/env python3
"""Packs the files the lessons read on the web page (shaders, images, the
exercises) into one script, files.js, that the page loads with a <script>
tag: the page then works opened from disk (file://), where a browser fetches
nothing, as well as from a server.
    tools/pack_page_files.py PAGE_FOLDER OUT_FILE FILE...
FILE names are relative to PAGE_FOLDER; OUT_FILE is written whole or not at all."""

import base64
import json
import os
import sys


def main():
    folder, out, names = sys.argv[1], sys.argv[2], sys.argv[3:]
    files = {}
    for name in names:
        with open(os.path.join(folder, name), "rb") as f:
            files[name] = base64.b64encode(f.read()).decode("ascii")
    text = ("// The files the lessons read, packed by tools/pack_page_files.py at build time\n"
            "// (base64), so that the page needs no server.\n"
            "window.lessonFiles = " + json.dumps(files, indent=0, sort_keys=True) + ";\n")
    with open(out + ".part", "w") as f:
        f.write(text)
    os.replace(out + ".part", out)


if __name__ == "__main__":
    main()
