"""README's picture of the web page: lesson_specular in headless Chromium,
with a typo in its fragment shader marked at its line while the last program
that built keeps drawing.
    python3 -m tools.page_picture build-web/page docs/images/web-page.png"""

import base64
import os
import sys

from tests.web import devtools
from tests.web.web_cases import Page


def main(page_folder, out):
    url = devtools.serve(page_folder)
    with devtools.Browser(width=1280, height=900) as b:
        page = Page(b, url, "lesson_specular")
        own = page.text("fragment")
        page.type_into("fragment", own.replace("normalize(", "normalise(", 1))
        page.problems("Still drawing")
        b.js("(() => { const cm = document.querySelector('#fragment + .CodeMirror').CodeMirror;"
             " const at = cm.getValue().split('\\n').findIndex((l) => l.includes('normalise('));"
             " cm.scrollIntoView({line: at, ch: 0}, 80); })()")
        b.js("document.getElementById('canvas').focus(); window.scrollTo(0, 0)")
        shot = b.call("Page.captureScreenshot", format="png", session=True,
                      clip={"x": 0, "y": 0, "width": 1280, "height": 900, "scale": 1})
        with open(out, "wb") as f:
            f.write(base64.b64decode(shot["data"]))
        b.js("localStorage.clear()")


if __name__ == "__main__":
    main(*sys.argv[1:3])
