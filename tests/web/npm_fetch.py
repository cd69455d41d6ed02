"""A package from the npm registry as a lockfile pins it, without npm (which
a bare Debian lacks): its tarball fetched, its integrity (the lockfile's
SHA-512) checked, and unpacked under a cache folder, once.
    npm_fetch.py LOCKDIR NAME CACHE    prints the unpacked package's folder"""

import base64
import hashlib
import io
import json
import os
import sys
import tarfile
import urllib.request

REGISTRY = "https://registry.npmjs.org/"


def fetch(lock_dir, name, cache):
    """The folder holding package `name` as package-lock.json in `lock_dir` pins it."""
    with open(os.path.join(lock_dir, "package-lock.json")) as f:
        pinned = json.load(f)["packages"][f"node_modules/{name}"]
    version, integrity = pinned["version"], pinned["integrity"]
    folder = os.path.join(cache, f"{name.replace('/', '+')}-{version}")
    if os.path.exists(os.path.join(folder, ".checked")):
        return folder
    url = pinned.get("resolved") or f"{REGISTRY}{name}/-/{name.split('/')[-1]}-{version}.tgz"
    with urllib.request.urlopen(url, timeout=60) as response:
        data = response.read()
    kind, _, digest = integrity.partition("-")
    if kind != "sha512" or base64.b64encode(hashlib.sha512(data).digest()).decode() != digest:
        raise RuntimeError(f"{url}: not what package-lock.json pins ({integrity})")
    os.makedirs(folder, exist_ok=True)
    with tarfile.open(fileobj=io.BytesIO(data)) as tar:
        for member in tar.getmembers():  # package/..., regular files only, never outside the folder
            path = os.path.normpath(member.name).split(os.sep, 1)[-1]
            if not member.isfile() or path.startswith("..") or os.path.isabs(path):
                continue
            os.makedirs(os.path.join(folder, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(folder, path), "wb") as out:
                out.write(tar.extractfile(member).read())
    open(os.path.join(folder, ".checked"), "w").close()
    return folder


if __name__ == "__main__":
    print(fetch(*sys.argv[1:4]))
