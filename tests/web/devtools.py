"""Headless Chromium driven over its DevTools pipe (--remote-debugging-pipe)
(and, through Engine, what firefox.py drives the same way):
the page served from a folder on 127.0.0.1, keys and text as a learner types
them, the console, and frames read back by probe.js before the browser shows
them. Standard library only."""

import base64
import functools
import http.server
import json
import os
import queue
import shutil
import subprocess
import tempfile
import threading
import time

CHROMIUM = shutil.which("chromium") or "/usr/bin/chromium"
PROBE = open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "probe.js")).read()

# Keys as the DevTools protocol types them: key, code, keyCode, text.
KEYS = {
    "Space": (" ", "Space", 32, " "),
    "Escape": ("Escape", "Escape", 27, ""),
    "Left": ("ArrowLeft", "ArrowLeft", 37, ""),
    "Right": ("ArrowRight", "ArrowRight", 39, ""),
    "Tab": ("Tab", "Tab", 9, ""),
}


from tests.harness import Failure


class Timeout(Failure):
    pass


# (path, text): a script an engine that runs none before the page's own
# (webkit.py) has the server put first in each page's <head>.
PRELUDE = None


def serve(folder):
    """A static server of `folder` on 127.0.0.1 (a port of its own); its address."""
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def do_GET(self):
            path = self.path.split("?")[0]
            if PRELUDE and path == PRELUDE[0]:
                return self.send_text(PRELUDE[1], "text/javascript")
            if PRELUDE and (path.endswith("/") or path.endswith("/index.html")):
                with open(os.path.join(folder, path.lstrip("/").removesuffix("index.html"), "index.html")) as f:
                    html = f.read()
                script = f'<script src="{PRELUDE[0]}"></script>'
                return self.send_text(html.replace("<head>", "<head>" + script, 1), "text/html")
            return super().do_GET()

        def send_text(self, text, kind):
            body = text.encode()
            self.send_response(200)
            self.send_header("Content-Type", kind + "; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

    handler = functools.partial(Quiet, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_address[1]}/"


class Engine:
    """What the cases ask of a browser, whichever engine: a subclass gives
    call, navigate, js, press, insert_text and drag_from."""

    name = "?"

    def __init__(self):
        self.console, self.events = queue.Queue(), queue.Queue()
        self.replies, self.next_id, self.lock = {}, 0, threading.Condition()

    def reply(self, id, method, timeout):
        deadline = time.monotonic() + timeout
        with self.lock:
            while id not in self.replies:
                if not self.lock.wait(deadline - time.monotonic()):
                    raise Timeout(f"{method}: no reply in {timeout} s")
            return self.replies.pop(id)

    def open(self, url):
        """Loads the page afresh; what it printed before is forgotten."""
        while not self.console.empty():
            self.console.get()
        self.navigate(url)

    def wait_console(self, predicate, seconds=20):
        """The first console line from now on that `predicate` accepts."""
        deadline = time.monotonic() + seconds
        seen = []
        while True:
            try:
                line = self.console.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                raise Timeout(f"no such line in {seconds} s; the page printed:\n  " + "\n  ".join(seen[-15:]))
            seen.append(line)
            if predicate(line):
                return line

    def wait_js(self, expression, seconds=10):
        """Waits until the expression is true in the page."""
        deadline = time.monotonic() + seconds
        while not self.js(expression):
            if time.monotonic() > deadline:
                raise Timeout(f"not true after {seconds} s: {expression}")
            time.sleep(0.05)

    def downloaded(self, name, seconds=10):
        """The file the page downloaded as `name`, once it is there whole; None when none came."""
        path = os.path.join(self.downloads, name)
        deadline = time.monotonic() + seconds
        while not os.path.exists(path):
            if time.monotonic() > deadline:
                return None
            time.sleep(0.05)
        time.sleep(0.2)  # written whole
        return path

    def key(self, name, focus="canvas"):
        """Presses a key (a character, or a name of KEYS) with `focus` focused
        (None: where the focus is)."""
        if focus:
            self.js(f"document.getElementById('{focus}').focus()")
        self.press(name)

    def shortcut(self, name):
        """Ctrl and a key, where the focus is."""
        self.press(name, ctrl=True)

    def drag(self, element, dx, dy):
        """Drags with the left button from the element's middle by (dx, dy) pixels."""
        x, y = self.js(f"(() => {{ const r = document.getElementById('{element}').getBoundingClientRect();"
                       " return [r.x + r.width / 2, r.y + r.height / 2]; })()")
        self.drag_from(x, y, dx, dy)

    def frame(self, number=None, after=None, seconds=20):
        """(width, height, RGB rows top first) of the frame `number` (1: the
        first drawn), or of the next one drawn (after calling `after`)."""
        which = "null" if number is None else str(number)
        self.js(f"window.lessonFrame = window.lessonProbe.frame({which}), 0")
        if after:
            after()
        got = self.js("window.lessonFrame", timeout=seconds)
        rgba = base64.b64decode(got["pixels"])
        w, h = got["width"], got["height"]
        rows = [rgba[(h - 1 - y) * w * 4:(h - y) * w * 4] for y in range(h)]  # OpenGL's rows start at the bottom
        return w, h, b"".join(bytes(row[i:i + 3]) for row in rows for i in range(0, len(row), 4))


def browser(engine, **options):
    """A browser of the engine named: "chromium", "firefox" or "webkit"."""
    if engine == "firefox":
        from tests.web.firefox import Firefox
        return Firefox(**options)
    if engine == "webkit":
        from tests.web.webkit import WebKit
        return WebKit(**options)
    return Browser(**options)


class Browser(Engine):
    """One headless Chromium with one page; `with Browser() as b:`."""

    name = "chromium"

    def __init__(self, width=1200, height=900, flags=()):
        super().__init__()
        self.size, self.flags = (width, height), list(flags)
        self.profile = tempfile.mkdtemp(prefix="chromium.")
        self.downloads = os.path.join(self.profile, "downloads")

    def __enter__(self):
        commands, chromium_in = os.pipe()  # we write, Chromium reads on 3
        chromium_out, replies = os.pipe()  # Chromium writes on 4, we read

        def on_3_and_4():  # duplicated first: a pipe's own number may be 3 or 4
            a, b = os.dup(commands), os.dup(replies)
            os.dup2(a, 3)
            os.dup2(b, 4)

        self.proc = subprocess.Popen(
            [CHROMIUM, "--headless=new", "--no-sandbox", "--use-gl=angle", "--use-angle=swiftshader",
             "--enable-unsafe-swiftshader", "--remote-debugging-pipe", "--no-first-run",
             "--user-data-dir=" + self.profile, *self.flags, "about:blank"],
            preexec_fn=on_3_and_4, close_fds=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(commands)
        os.close(replies)
        self.out, self.inp = chromium_in, chromium_out
        threading.Thread(target=self._read, daemon=True).start()
        page = next(t for t in self.call("Target.getTargets")["targetInfos"] if t["type"] == "page")
        self.session = self.call("Target.attachToTarget", targetId=page["targetId"], flatten=True)["sessionId"]
        for method in ("Page.enable", "Runtime.enable"):
            self.call(method, session=True)
        self.call("Page.addScriptToEvaluateOnNewDocument", source=PROBE, session=True)
        self.call("Emulation.setDeviceMetricsOverride", width=self.size[0], height=self.size[1],
                  deviceScaleFactor=1, mobile=False, session=True)
        self.call("Browser.setDownloadBehavior", behavior="allow", downloadPath=self.downloads,
                  eventsEnabled=True)
        return self

    def __exit__(self, *exc):
        self.proc.kill()
        self.proc.wait()
        os.close(self.out)
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read(self):
        buffer = b""
        while True:
            chunk = os.read(self.inp, 1 << 16)
            if not chunk:
                return
            buffer += chunk
            while b"\0" in buffer:
                message, buffer = buffer.split(b"\0", 1)
                msg = json.loads(message)
                if "id" in msg:
                    with self.lock:
                        self.replies[msg["id"]] = msg
                        self.lock.notify_all()
                elif msg.get("method") == "Runtime.consoleAPICalled":
                    self.console.put(" ".join(str(a.get("value", "")) for a in msg["params"]["args"]))
                else:
                    self.events.put(msg)

    def call(self, method, session=False, timeout=30, **params):
        with self.lock:
            self.next_id += 1
            id = self.next_id
        msg = {"id": id, "method": method, "params": params}
        if session:
            msg["sessionId"] = self.session
        os.write(self.out, json.dumps(msg).encode() + b"\0")
        reply = self.reply(id, method, timeout)
        if "error" in reply:
            raise RuntimeError(f"{method}: {reply['error']}")
        return reply.get("result", {})

    def navigate(self, url):
        self.call("Page.navigate", url=url, session=True)

    def js(self, expression, timeout=30):
        """The value of a JavaScript expression in the page (a promise is awaited)."""
        result = self.call("Runtime.evaluate", expression=expression, awaitPromise=True,
                           returnByValue=True, session=True, timeout=timeout)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def press(self, name, ctrl=False):
        key, code, key_code, text = KEYS.get(name) or (name, "Key" + name.upper() if name.isalpha() else "Digit" + name,
                                                     ord(name.upper()), name)
        common = dict(key=key, code=code, windowsVirtualKeyCode=key_code, nativeVirtualKeyCode=key_code,
                      modifiers=2 if ctrl else 0)
        if ctrl:
            self.call("Input.dispatchKeyEvent", type="rawKeyDown", session=True, **common)
        else:
            self.call("Input.dispatchKeyEvent", type="keyDown", text=text, session=True, **common)
        self.call("Input.dispatchKeyEvent", type="keyUp", session=True, **common)

    def insert_text(self, text):
        self.call("Input.insertText", text=text, session=True)

    def drag_from(self, x, y, dx, dy):
        self.call("Input.dispatchMouseEvent", type="mousePressed", x=x, y=y, button="left", clickCount=1, session=True)
        for step in range(1, 6):
            self.call("Input.dispatchMouseEvent", type="mouseMoved", x=x + dx * step / 5, y=y + dy * step / 5,
                      button="left", buttons=1, session=True)
        self.call("Input.dispatchMouseEvent", type="mouseReleased", x=x + dx, y=y + dy, button="left",
                  clickCount=1, session=True)
