"""WebKitGTK (Safari's engine) driven over classic WebDriver (WebKitWebDriver,
HTTP), with the same calls as devtools.Browser: the page opened, its
JavaScript evaluated, keys, a drag, text typed, the console, and frames read
back by probe.js. Classic WebDriver runs no script before a page's own, so
the page is handed probe.js in its <head> (a script tag the test's server
adds, or a copy of the folder opened from disk with it), and the console is
gathered by it. WebKitGTK's MiniBrowser draws in an Xvfb of its own.
Standard library only."""

import json
import os
import shutil
import socket
import subprocess
import tempfile
import time
import urllib.error
import urllib.request

from tests.web import devtools
from tests.harness import PrivateDisplay

DRIVER = shutil.which("WebKitWebDriver") or "/usr/bin/WebKitWebDriver"

# Keys as WebDriver names them (its private-use code points for the rest).
KEYS = {"Space": " ", "Escape": "\ue00c", "Left": "\ue012", "Right": "\ue014", "Tab": "\ue004"}

# What the page is handed first, beside probe.js: its console, kept for the test.
# And its downloads (a link to a blob, clicked), kept for the test rather
# than handed to the browser's download dialog.
CONSOLE = """(() => {
  window.lessonConsole = [];
  for (const kind of ['log', 'info', 'warn', 'error']) {
    const was = console[kind].bind(console);
    console[kind] = (...args) => { window.lessonConsole.push(args.join(' ')); was(...args); };
  }
  window.lessonDownloads = {};
  const click = HTMLAnchorElement.prototype.click;
  HTMLAnchorElement.prototype.click = function () {
    if (!this.download || !this.href.startsWith('blob:')) return click.call(this);
    const name = this.download;
    fetch(this.href).then((r) => r.arrayBuffer()).then((buffer) => {
      let text = '';
      const bytes = new Uint8Array(buffer);
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
      window.lessonDownloads[name] = btoa(text);
    });
  };
})();
"""
PRELUDE = "/__lesson_probe.js"


def minibrowser():
    """WebKitGTK's own small browser, which WebKitWebDriver starts."""
    for folder in ("/usr/lib/x86_64-linux-gnu", "/usr/lib/i386-linux-gnu", "/usr/lib/aarch64-linux-gnu", "/usr/lib"):
        for api in ("webkit2gtk-4.1", "webkitgtk-6.0", "webkit2gtk-4.0"):
            path = os.path.join(folder, api, "MiniBrowser")
            if os.path.exists(path):
                return path
    raise devtools.Failure("no WebKitGTK MiniBrowser (tools/deps.sh webkit installs it)")


def with_prelude(html):
    """index.html with the test's scripts first in its <head>."""
    return html.replace("<head>", f'<head><script src="{PRELUDE.lstrip("/")}"></script>', 1)


class WebKit(devtools.Engine):
    """One MiniBrowser window, in its own Xvfb; `with WebKit() as b:`."""

    name = "webkit"

    def __init__(self, width=1200, height=900):
        super().__init__()
        self.size = (width, height)
        self.copies = tempfile.mkdtemp(prefix="webkit.")  # folders opened from disk, with the prelude
        self.copied = {}
        self.downloads = os.path.join(self.copies, "downloads")
        os.makedirs(self.downloads)

    def __enter__(self):
        devtools.PRELUDE = (PRELUDE, CONSOLE + devtools.PROBE)  # the test's server hands it out
        self.display = PrivateDisplay(f"{self.size[0] + 100}x{self.size[1] + 200}").__enter__()
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        env = dict(os.environ, DISPLAY=self.display.name)
        env.pop("WAYLAND_DISPLAY", None)
        self.proc = subprocess.Popen([DRIVER, f"--port={port}"], env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        self.base = f"http://127.0.0.1:{port}"
        deadline = time.monotonic() + 30
        while True:
            try:
                self.request("GET", "/status")
                break
            except OSError:
                if time.monotonic() > deadline or self.proc.poll() is not None:
                    self.__exit__()
                    raise devtools.Failure("WebKitWebDriver did not start")
                time.sleep(0.1)
        options = {"binary": minibrowser(), "args": ["--automation"]}
        self.session = self.request("POST", "/session", {"capabilities": {"alwaysMatch": {
            "pageLoadStrategy": "none", "webkitgtk:browserOptions": options}}})["sessionId"]
        self.call("timeouts", {"script": 120000})
        self.call("window/rect", {"width": self.size[0], "height": self.size[1]})
        return self

    def __exit__(self, *exc):
        if getattr(self, "session", None):
            try:
                self.request("DELETE", f"/session/{self.session}")
            except (OSError, RuntimeError):
                pass
        if getattr(self, "proc", None):
            self.proc.kill()
            self.proc.wait()
        self.display.__exit__()
        devtools.PRELUDE = None
        shutil.rmtree(self.copies, ignore_errors=True)

    def request(self, method, path, body=None, timeout=150):
        data = json.dumps(body).encode() if body is not None else None
        req = urllib.request.Request(self.base + path, data=data, method=method,
                                     headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(req, timeout=timeout) as reply:
                return json.loads(reply.read())["value"]
        except urllib.error.HTTPError as e:
            value = json.loads(e.read() or b"{}").get("value", {})
            raise RuntimeError(f"{method} {path}: {value.get('error')}: {value.get('message')}") from None

    def call(self, command, body=None, timeout=150):
        return self.request("POST", f"/session/{self.session}/{command}", body or {}, timeout)

    def navigate(self, url):
        if url.startswith("file://"):  # a copy of the folder, its page with the prelude
            folder = url[len("file://"):].split("?")[0]
            folder = folder if folder.endswith("/") else os.path.dirname(folder) + "/"
            if folder not in self.copied:
                copy = os.path.join(self.copies, str(len(self.copied)))
                shutil.copytree(folder, copy)
                with open(os.path.join(copy, "index.html")) as f:
                    html = f.read()
                with open(os.path.join(copy, "index.html"), "w") as f:
                    f.write(with_prelude(html))
                with open(os.path.join(copy, PRELUDE.lstrip("/")), "w") as f:
                    f.write(CONSOLE + devtools.PROBE)
                self.copied[folder] = copy + "/"
            url = "file://" + self.copied[folder] + url[len("file://") + len(folder):]
        try:
            self.js("window.lessonLeaving = true")
        except RuntimeError:
            pass
        self.call("url", {"url": url})
        # The url command returns at once: the page that comes is waited for,
        # so that nothing is asked of the one that goes.
        deadline = time.monotonic() + 30
        while not self.js("window.lessonLeaving !== true && !!window.lessonConsole && !!document.body"):
            if time.monotonic() > deadline:
                raise devtools.Timeout(f"{url} did not load in 30 s")
            time.sleep(0.05)

    def downloaded(self, name, seconds=10):
        """The file the page downloaded as `name`, in self.downloads; None when none came."""
        import base64
        deadline = time.monotonic() + seconds
        while not (got := self.js(f"window.lessonDownloads && window.lessonDownloads[{json.dumps(name)}]")):
            if time.monotonic() > deadline:
                return None
            time.sleep(0.05)
        path = os.path.join(self.downloads, name)
        with open(path, "wb") as f:
            f.write(base64.b64decode(got))
        return path

    def js(self, expression, timeout=30):
        # Evaluated as the other engines evaluate it (statements too, the last
        # value returned), a promise awaited.
        script = ("const done = arguments[arguments.length - 1];"
                  "try { Promise.resolve((0, eval)(arguments[0])).then((v) => done({ v: v === undefined ? null : v }),"
                  " (e) => done({ e: String(e) })); } catch (e) { done({ e: String(e) }); }")
        deadline = time.monotonic() + timeout
        while True:
            try:
                got = self.call("execute/async", {"script": script, "args": [expression]}, timeout=timeout + 5)
                break
            except RuntimeError as e:  # asked while one page goes and the next comes
                if "unload" not in str(e) and "no such frame" not in str(e) or time.monotonic() > deadline:
                    raise
                time.sleep(0.05)
        if got is None or "e" in got:
            raise RuntimeError(f"{expression}: {got and got['e']}")
        return got["v"]

    def wait_console(self, predicate, seconds=20):
        """The first console line from now on that `predicate` accepts."""
        deadline = time.monotonic() + seconds
        seen = []
        while True:
            try:
                lines = self.js("window.lessonConsole ? window.lessonConsole.splice(0) : []")
            except RuntimeError:
                lines = []  # between two pages
            for line in lines:
                seen.append(line)
                if predicate(line):
                    return line
            if time.monotonic() > deadline:
                raise devtools.Timeout(f"no such line in {seconds} s; the page printed:\n  " + "\n  ".join(seen[-15:]))
            time.sleep(0.05)

    def open(self, url):
        self.navigate(url)

    def press(self, name, ctrl=False):
        value = KEYS.get(name, name)
        keys = [{"type": "keyDown", "value": value}, {"type": "keyUp", "value": value}]
        if ctrl:
            keys = [{"type": "keyDown", "value": "\ue009"}, *keys, {"type": "keyUp", "value": "\ue009"}]
        self.call("actions", {"actions": [{"type": "key", "id": "keyboard", "actions": keys}]})

    def insert_text(self, text):
        # What a paste does: the browser's own editing puts the text in the
        # focused element and tells it with an input event.
        self.js(f"document.execCommand('insertText', false, {json.dumps(text)})")

    def drag_from(self, x, y, dx, dy):
        moves = [{"type": "pointerMove", "x": round(x + dx * step / 5), "y": round(y + dy * step / 5)}
                 for step in range(1, 6)]
        self.call("actions", {"actions": [
            {"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
             "actions": [{"type": "pointerMove", "x": round(x), "y": round(y)}, {"type": "pointerDown", "button": 0},
                         *moves, {"type": "pointerUp", "button": 0}]}]})
