"""Firefox ESR driven over WebDriver BiDi (its --remote-debugging-port, a
WebSocket), with the same calls as devtools.Browser: the page opened, its
JavaScript evaluated, keys, a drag, text typed, the console, and frames read
back by probe.js. Firefox draws WebGL 2 with Mesa (llvmpipe) only with a
display, so it runs in an Xvfb of its own. Standard library only."""

import base64
import json
import os
import queue
import re
import shutil
import socket
import struct
import subprocess
import tempfile
import threading
import time

from tests.web import devtools
from tests.harness import PrivateDisplay

FIREFOX = shutil.which("firefox-esr") or shutil.which("firefox") or "/usr/bin/firefox-esr"

# Keys as WebDriver names them (its private-use code points for the rest).
KEYS = {"Space": " ", "Escape": "\ue00c", "Left": "\ue012", "Right": "\ue014", "Tab": "\ue004"}

# A quiet profile: no first-run pages, no updates, no calls home (the network
# is closed), downloads straight into the profile's folder.
PREFERENCES = {
    "remote.active-protocols": 1,  # WebDriver BiDi
    "focusmanager.testmode": True,  # focus as if the window had it (Xvfb has no window manager to give it)
    "browser.shell.checkDefaultBrowser": False, "browser.startup.homepage_override.mstone": "ignore",
    "datareporting.policy.dataSubmissionEnabled": False, "toolkit.telemetry.enabled": False,
    "app.update.auto": False, "app.update.disabledForTesting": True,
    "network.captive-portal-service.enabled": False, "network.connectivity-service.enabled": False,
    "browser.safebrowsing.malware.enabled": False, "browser.safebrowsing.phishing.enabled": False,
    "extensions.update.enabled": False, "services.settings.server": "http://127.0.0.1:9/",
    "browser.download.folderList": 2, "browser.download.useDownloadDir": True,
    "browser.download.always_ask_before_handling_new_types": False,
}


class WebSocket:
    """A client's WebSocket (RFC 6455) of text messages, enough for BiDi."""

    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=None)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall((f"GET /session HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUpgrade: websocket\r\n"
                           f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                           "Sec-WebSocket-Version: 13\r\n\r\n").encode())
        self.buffer = b""
        while b"\r\n\r\n" not in self.buffer:
            self.buffer += self.sock.recv(4096)
        head, self.buffer = self.buffer.split(b"\r\n\r\n", 1)
        if b" 101 " not in head.split(b"\r\n")[0]:
            raise devtools.Failure(f"Firefox refused the WebSocket: {head[:200]!r}")

    def send(self, text):
        data, mask = text.encode(), os.urandom(4)
        n = len(data)
        size = bytes([0x80 | n]) if n < 126 else (bytes([0xFE]) + struct.pack(">H", n) if n < 1 << 16
                                                  else bytes([0xFF]) + struct.pack(">Q", n))
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(data))
        self.sock.sendall(b"\x81" + size + mask + masked)

    def _take(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(1 << 16)
            if not chunk:
                raise EOFError
            self.buffer += chunk
        taken, self.buffer = self.buffer[:n], self.buffer[n:]
        return taken

    def receive(self):
        message = b""
        while True:
            first, second = self._take(2)
            n = second & 0x7F
            if n == 126:
                n = struct.unpack(">H", self._take(2))[0]
            elif n == 127:
                n = struct.unpack(">Q", self._take(8))[0]
            data = self._take(n)
            if first & 0x0F in (0x8, 0x9, 0xA):  # close, ping, pong: not messages
                if first & 0x0F == 0x8:
                    raise EOFError
                continue
            message += data
            if first & 0x80:
                return message.decode()


def value_of(remote):
    """A BiDi remote value as Python's (what JSON would give)."""
    kind, value = remote.get("type"), remote.get("value")
    if kind in ("undefined", "null"):
        return None
    if kind == "number":
        return float("nan") if value == "NaN" else value if not isinstance(value, str) else None
    if kind in ("string", "boolean"):
        return value
    if kind == "array":
        return [value_of(item) for item in value]
    if kind == "object":
        return {key if isinstance(key, str) else value_of(key): value_of(item) for key, item in value}
    return None


class Firefox(devtools.Engine):
    """One Firefox ESR with one tab, in its own Xvfb; `with Firefox() as b:`."""

    name = "firefox"

    def __init__(self, width=1200, height=900):
        super().__init__()
        self.size = (width, height)
        self.profile = tempfile.mkdtemp(prefix="firefox.")
        self.downloads = os.path.join(self.profile, "downloads")
        os.makedirs(self.downloads)
        with open(os.path.join(self.profile, "user.js"), "w") as prefs:
            for name, value in {**PREFERENCES, "browser.download.dir": self.downloads}.items():
                prefs.write(f"user_pref({json.dumps(name)}, {json.dumps(value)});\n")

    def __enter__(self):
        self.display = PrivateDisplay(f"{self.size[0] + 100}x{self.size[1] + 200}").__enter__()
        env = dict(os.environ, DISPLAY=self.display.name, MOZ_CRASHREPORTER_DISABLE="1")
        env.pop("WAYLAND_DISPLAY", None)
        self.proc = subprocess.Popen([FIREFOX, "--no-remote", "--profile", self.profile, "--remote-debugging-port",
                                      "0", "--width", str(self.size[0]), "--height", str(self.size[1]),
                                      "about:blank"],
                                     env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        port = None
        deadline = time.monotonic() + 60
        while port is None and time.monotonic() < deadline:
            line = self.proc.stderr.readline().decode(errors="replace")
            if not line and self.proc.poll() is not None:
                break
            found = re.search(r"WebDriver BiDi listening on ws://127\.0\.0\.1:(\d+)", line)
            port = int(found.group(1)) if found else None
        if port is None:
            self.__exit__()
            raise devtools.Failure("Firefox did not start its WebDriver BiDi")
        threading.Thread(target=lambda: self.proc.stderr.read(), daemon=True).start()  # never blocks Firefox
        self.ws = WebSocket(port)
        threading.Thread(target=self._read, daemon=True).start()
        self.call("session.new", capabilities={"alwaysMatch": {"unhandledPromptBehavior": "dismiss"}})
        self.context = self.call("browsingContext.getTree")["contexts"][0]["context"]
        self.call("session.subscribe", events=["log.entryAdded"])
        self.call("script.addPreloadScript", functionDeclaration="() => {\n" + devtools.PROBE + "\n}")
        self.call("browsingContext.setViewport", context=self.context,
                  viewport={"width": self.size[0], "height": self.size[1]})
        # Firefox starts with the focus in its address bar: a click in the
        # page (a real one, from X) gives it to the page.
        self.display.xdotool("mousemove", str(self.size[0] // 2), str(self.size[1] // 2), "click", "1")
        return self

    def __exit__(self, *exc):
        if getattr(self, "proc", None):
            self.proc.kill()
            self.proc.wait()
        self.display.__exit__()
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read(self):
        while True:
            try:
                msg = json.loads(self.ws.receive())
            except (EOFError, OSError):
                return
            if "id" in msg:
                with self.lock:
                    self.replies[msg["id"]] = msg
                    self.lock.notify_all()
            elif msg.get("method") == "log.entryAdded":
                self.console.put(msg["params"].get("text") or "")

    def call(self, method, timeout=30, **params):
        with self.lock:
            self.next_id += 1
            id = self.next_id
        self.ws.send(json.dumps({"id": id, "method": method, "params": params}))
        reply = self.reply(id, method, timeout)
        if reply.get("type") == "error":
            raise RuntimeError(f"{method}: {reply.get('error')}: {reply.get('message')}")
        return reply.get("result", {})

    def navigate(self, url):
        self.call("browsingContext.navigate", context=self.context, url=url, wait="none")

    def js(self, expression, timeout=30):
        result = self.call("script.evaluate", expression=expression, target={"context": self.context},
                           awaitPromise=True, resultOwnership="none", timeout=timeout)
        if result.get("type") == "exception":
            raise RuntimeError(f"{expression}: {result['exceptionDetails'].get('text')}")
        return value_of(result["result"])

    def press(self, name, ctrl=False):
        value = KEYS.get(name, name)
        keys = [{"type": "keyDown", "value": value}, {"type": "keyUp", "value": value}]
        if ctrl:
            keys = [{"type": "keyDown", "value": "\ue009"}, *keys, {"type": "keyUp", "value": "\ue009"}]
        self.call("input.performActions", context=self.context,
                  actions=[{"type": "key", "id": "keyboard", "actions": keys}])

    def insert_text(self, text):
        # What a paste does: the browser's own editing puts the text in the
        # focused element and tells it with an input event.
        self.js(f"document.execCommand('insertText', false, {json.dumps(text)})")

    def drag_from(self, x, y, dx, dy):
        moves = [{"type": "pointerMove", "x": round(x + dx * step / 5), "y": round(y + dy * step / 5)}
                 for step in range(1, 6)]
        self.call("input.performActions", context=self.context, actions=[
            {"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
             "actions": [{"type": "pointerMove", "x": round(x), "y": round(y)}, {"type": "pointerDown", "button": 0},
                         *moves, {"type": "pointerUp", "button": 0}]}])
