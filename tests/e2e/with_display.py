"""Runs one command on an Xvfb of its own, so a test that needs a display
passes under a plain ctest with none set:
    python3 with_display.py [NAME=VALUE...] COMMAND [ARGS...]
The NAME=VALUE pairs go to the command's environment only (a preload library
meant for the program under test stays out of Python and Xvfb)."""

import os
import subprocess
import sys

from tests.harness import PrivateDisplay, base_env


def main(argv):
    extra = {}
    while argv and "=" in argv[0] and not argv[0].startswith("/"):
        name, value = argv.pop(0).split("=", 1)
        extra[name] = value
    with PrivateDisplay() as display:
        env = base_env(display.name)
        env.update(extra)
        return subprocess.run(argv, env=env).returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
