"""Serves the web page's folder on 127.0.0.1 (the first free port from 8000)
and says where to open it; Ctrl-C stops it.
  tools/serve.py FOLDER [LESSON]"""

import functools
import http.server
import sys

folder = sys.argv[1]
lesson = sys.argv[2] if len(sys.argv) > 2 else ""


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):  # the requests would drown what the page says
        pass


for port in range(8000, 8020):
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Handler, directory=folder))
        break
    except OSError:
        continue
else:
    sys.exit("serve.py: ports 8000 to 8019 of 127.0.0.1 are all taken")

address = f"http://127.0.0.1:{port}/" + (f"index.html?lesson={lesson}" if lesson else "")
print(f"The lessons' page is served from {folder}: open {address}")
print("(over ssh, forward the port first: ssh -L %d:127.0.0.1:%d HOST). Ctrl-C stops the server." % (port, port))
sys.stdout.flush()
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
