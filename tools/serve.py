"""Serves the web page's folder on 127.0.0.1 (the first free port from 8000)
and says where to open it; Ctrl-C stops it.
  tools/serve.py FOLDER [LESSON]
Only the folder's own files are served: no listing of a folder, nothing a
link leads to outside it, and only to a request addressed to this server
(its Host header: a page of another site that points its own name at
127.0.0.1 gets nothing). A bad request gets a 4xx answer, never a traceback."""

import functools
import http.server
import os
import sys
import urllib.parse

USUAL_PORT = 8000


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):  # the requests would drown what the page says
        pass

    def send_head(self):
        port = self.server.server_address[1]
        if self.headers.get("Host", "") not in (f"127.0.0.1:{port}", f"localhost:{port}"):
            self.send_error(421, "Not this server's address")
            return None
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        if "\0" in path or any(ord(c) < 0x20 for c in path) or not path.startswith("/"):
            self.send_error(400, "Bad path")
            return None
        root = os.path.realpath(self.directory)
        file = os.path.realpath(os.path.join(root, path.lstrip("/")))
        if os.path.isdir(file):
            file = os.path.join(file, "index.html")
        if os.path.commonpath([root, file]) != root or not os.path.isfile(file):
            self.send_error(404, "No such file")
            return None
        self.path = "/" + os.path.relpath(file, root).replace(os.sep, "/")
        return super().send_head()

    def list_directory(self, path):  # never reached, and never a listing
        self.send_error(404, "No such file")
        return None


class Server(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):  # a broken connection is no news
        pass


def serve(folder, first_port=USUAL_PORT, ports=20):
    """The server of `folder` on the first free port from `first_port`."""
    for port in range(first_port, first_port + ports):
        try:
            return Server(("127.0.0.1", port), functools.partial(Handler, directory=folder))
        except OSError:
            continue
    sys.exit(f"serve.py: ports {first_port} to {first_port + ports - 1} of 127.0.0.1 are all taken")


def main():
    if len(sys.argv) not in (2, 3) or not os.path.isdir(sys.argv[1]):
        sys.exit("usage: tools/serve.py FOLDER [LESSON]")
    folder = sys.argv[1]
    lesson = sys.argv[2] if len(sys.argv) > 2 else ""
    server = serve(folder)
    port = server.server_address[1]
    address = f"http://127.0.0.1:{port}/" + (f"index.html?lesson={lesson}" if lesson else "")
    print(f"The lessons' page is served from {folder}: open {address}")
    print("(over ssh, forward the port first: ssh -L %d:127.0.0.1:%d HOST). Ctrl-C stops the server." % (port, port))
    if port != USUAL_PORT:
        print(f"Port {USUAL_PORT} is taken (another server?): edits kept by the page at its usual address,"
              f" http://127.0.0.1:{USUAL_PORT}/, stay with that address and do not appear here.")
    sys.stdout.flush()
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
