#!/usr/bin/env python3
"""Makes the web page's guide from the guide itself, docs/lessons.md: each
lesson's section as HTML (Python's markdown module, Debian's
python3-markdown), in guide.js, which the page loads with a <script> tag and
shows beside the running lesson. Never a second copy to keep in step: the
build makes it again whenever the guide changes.
    tools/guide_page.py GUIDE OUT_FILE
The sections' pictures are left out (the page draws the lesson live beside
it), and so are links within the project, which lead nowhere from the page:
their text stays."""

import json
import os
import re
import sys

import markdown


def sections(text):
    """{lesson: its section's Markdown} for the sections whose heading names one."""
    found = {}
    for part in re.split(r"^(?=## )", text, flags=re.M):
        heading = part.split("\n", 1)[0]
        named = re.search(r"`(lesson_\w+)`", heading) if heading.startswith("## ") else None
        if named:
            found[named.group(1)] = part
    return found


def html_of(section):
    section = re.sub(r"^!\[[^\]]*\]\([^)]*\)[ \t]*$", "", section, flags=re.M)
    section = re.sub(r"<!--.*?-->\n?", "", section, flags=re.S)
    html = markdown.markdown(section, extensions=["fenced_code", "tables"])
    return re.sub(r'<a href="(?!https?:)[^"]*">(.*?)</a>', r"\1", html, flags=re.S)


def main():
    guide, out = sys.argv[1], sys.argv[2]
    with open(guide, encoding="utf-8") as f:
        text = f.read()
    pages = {lesson: html_of(section) for lesson, section in sections(text).items()}
    with open(out + ".part", "w", encoding="utf-8") as f:
        f.write("// The guide's section of each lesson, made from docs/lessons.md by\n"
                "// tools/guide_page.py at build time.\n"
                "window.lessonGuide = " + json.dumps(pages, ensure_ascii=False) + ";\n")
    os.replace(out + ".part", out)


if __name__ == "__main__":
    main()
