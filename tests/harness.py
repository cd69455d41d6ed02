"""Runs the real lesson programs in scratch folders, under Xvfb, and watches
them from outside: exit status, standard output, frames read back by the
test-only preload library, GL calls recorded by apitrace, keys from xdotool."""

import glob
import json
import math
import os
import re
import shutil
import subprocess
import tempfile
import time
import zlib

# What the tests expect of each lesson, written down independently of the code.
LESSONS = {
    "lesson_ambient": ("Kolory w shaderze", "oswietlenie_otoczenia", "plain", True),
    "lesson_diffuse": ("Kolory w shaderze", "oswietlenie_rozproszone", "plain", True),
    "lesson_per_vertex": ("Kolory w shaderze", "oswietlenie_per_vertex", "plain", True),
    "lesson_specular": ("Kolory w shaderze", "oswietlenie_odbite", "lit", False),
    "lesson_texturing": ("Teksturowanie", "teksturowanie", "textured", False),
    "lesson_texturing_lit": ("Teksturowanie", "teksturowanie_osw", "textured", False),
}

MSG_VERT = "** Błąd ładowania pliku *.vert\n".encode()
MSG_FRAG = "** Błąd ładowania pliku *.frag\n".encode()
MSG_NO_GL2 = b"OpenGL 2.0 nie jest wspierany\n\n"
MSG_TEXTURE = b"blad podczas wczytywania tekstury\n"

APITRACE_WRAPPER = "/usr/lib/x86_64-linux-gnu/apitrace/wrappers/glxtrace.so"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


FAILURES = []  # what a script of several checks found wrong, in order


def expect(ok, what):
    """One check of a script that goes on after a failure; says what failed."""
    if not ok:
        FAILURES.append(what)
        print("FAIL", what)
    return ok


def outcome(scratch, message="ok"):
    """The script's exit status; its scratch folder goes when all passed."""
    if FAILURES:
        return 1
    shutil.rmtree(scratch, ignore_errors=True)
    print(message)
    return 0


SCRATCH = []  # the working folders this case made


def scratch_folder(prefix, parent):
    folder = tempfile.mkdtemp(prefix=prefix + ".", dir=parent)
    SCRATCH.append(folder)
    return folder


def run_case(what, case, *args):
    """Runs one case and prints ok or FAIL with the reason; returns the exit
    status. The case's working folders go when it passes; when it fails they
    stay for a look, and it says where."""
    started = time.monotonic()
    try:
        case(*args)
        passed = True
    except (Failure, subprocess.TimeoutExpired) as e:
        print(f"FAIL {what}: {e}")
        passed = False
    for folder in SCRATCH:
        shutil.rmtree(folder, ignore_errors=True) if passed else print(f"  kept for a look: {folder}")
    if passed:
        print(f"ok {what} ({time.monotonic() - started:.1f} s)")
    return 0 if passed else 1


def exercises_listed(bin_dir, core=False, exercises_file=None):
    """{name: exercise} as the lessons' own program reads exercises/exercises.txt
    (or `exercises_file`): each with its lesson, teaches, statement, hints,
    probes, and its pairs ("start", "solution": project-relative paths for the
    profile; "files": the lesson's own file names, where a learner's pair goes)."""
    command = [os.path.join(os.path.abspath(bin_dir), "lesson_ambient"), *(["--core"] if core else []),
               "--list-exercises", "json"]
    if exercises_file:
        command += ["--exercises", exercises_file]
    proc = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    if proc.returncode != 0:
        raise SystemExit(f"{' '.join(command)}: status {proc.returncode}: {proc.stderr.decode(errors='replace')}")
    return {e["name"]: e for e in json.loads(proc.stdout)}


class Lesson:
    """A lesson as a test runs it; with `core`, in the core profile, with
    the pair from core/."""

    def __init__(self, name, bin_dir, tools_dir, out_dir, core=False):
        self.name = name
        self.title, self.stem, self.scene, self.per_frame_light = LESSONS[name]
        self.textured = self.scene == "textured"
        self.before_glew = not self.textured  # the textured scene needs GLEW's glActiveTexture
        self.bin_dir = os.path.abspath(bin_dir)
        self.tools_dir = os.path.abspath(tools_dir)
        self.out_dir = os.path.abspath(out_dir)
        os.makedirs(self.out_dir, exist_ok=True)
        self.core = core
        self.args = ["--core"] if core else []
        self.window_title = self.title + (" - core profile" if core else "")  # the core window says so
        self.vert = ("core/" if core else "") + self.stem + ".vert"
        self.frag = ("core/" if core else "") + self.stem + ".frag"

    def data_files(self):
        files = [self.vert, self.frag]
        if self.textured:
            files += ["tex0.tga", "tex1.tga"]
        return files

    def scratch(self):
        """A fresh working folder holding the lesson's own data files."""
        folder = scratch_folder(self.name, self.out_dir)
        for name in self.data_files():
            os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
            shutil.copy(os.path.join(self.bin_dir, name), os.path.join(folder, name))
        return folder


class Result:
    def __init__(self, rc, out, log, err=b"", folder=None):
        self.rc, self.out, self.log, self.err, self.folder = rc, out, log, err, folder

    def opened(self):
        """The files the program opened in its working folder: what the
        libraries beneath it open (Xlib's authority file, say) is theirs."""
        names = [line[6:] for line in self.log if line.startswith("fopen ")]
        return [os.path.relpath(name, self.folder) if os.path.isabs(name) else name for name in names
                if not os.path.isabs(name) or name.startswith(self.folder + os.sep)]

    def __repr__(self):
        return f"status {self.rc}, output {self.out!r}" + (f", errors {self.err[-600:]!r}" if self.err else "")


def base_env(display=None):
    env = dict(os.environ)
    env["LIBGL_ALWAYS_SOFTWARE"] = "1"  # the reference images are llvmpipe's
    env["GALLIUM_DRIVER"] = "llvmpipe"
    # One rasterizer thread per program: tests run side by side on few cores,
    # and llvmpipe's thread pools slow each other down badly when they compete.
    # The pictures are the same with any number of threads.
    env["LP_NUM_THREADS"] = "1"
    if display:
        env["DISPLAY"] = display
    for key in [k for k in env if k.startswith("PROBE_")]:
        del env[key]
    return env


def probe_env(lesson, folder, env, frames=None, capture=None, trace=None, rss_at=None):
    preload = [os.path.join(lesson.tools_dir, "libframeprobe.so")]
    if trace:
        preload.insert(0, APITRACE_WRAPPER)
        env["TRACE_FILE"] = trace
    if env.get("LD_PRELOAD"):  # a sanitizer runtime must stay first
        preload.insert(0, env["LD_PRELOAD"])
    env["LD_PRELOAD"] = ":".join(preload)
    env["PROBE_LOG"] = os.path.join(folder, "probe.log")
    if os.path.exists(env["PROBE_LOG"]):  # each run starts its own log
        os.remove(env["PROBE_LOG"])
    if frames:
        env["PROBE_FRAMES"] = str(frames)
    if capture:
        env["PROBE_CAPTURE"] = ",".join(f"{k}:{path}" for k, path in capture.items())
    if rss_at:
        env["PROBE_RSS_AT"] = ",".join(str(k) for k in rss_at)
    return env


def read_log(folder):
    path = os.path.join(folder, "probe.log")
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return f.read().splitlines()


def run(lesson, folder, args=(), extra_env=None, timeout=120, preexec=None, **probe):
    """Runs the lesson to its end in `folder`; returns its status and output."""
    env = probe_env(lesson, folder, base_env(), **probe)
    env.update(extra_env or {})
    proc = subprocess.run([os.path.join(lesson.bin_dir, lesson.name), *lesson.args, *args], cwd=folder, env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout, preexec_fn=preexec)
    return Result(proc.returncode, proc.stdout, read_log(folder), proc.stderr, folder)


class PrivateDisplay:
    """An Xvfb of the test's own, so windows of tests running side by side
    never share a title search or the keyboard. It never resets: a server
    that resets when its last client (an xdotool search, say) leaves refuses
    the lesson that connects meanwhile."""

    def __init__(self, size="640x480"):
        self.size = size

    def __enter__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", f"{self.size}x24",
                                      "-nolisten", "tcp", "-noreset"], pass_fds=(write,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        with os.fdopen(read, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        check(number.strip().isdigit(), "Xvfb did not start")
        self.name = ":" + number.decode().strip()
        return self

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=base_env(self.name), stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=30).stdout.decode()

    def __exit__(self, *exc):
        self.proc.terminate()
        self.proc.wait(timeout=30)


class Running:
    """A lesson running in the background on a private display, once it has
    drawn `frames` frames in its window: the program itself under the frame
    probe (in explore mode with `explore`), or `command` with `env` (a Windows
    build under wine, say). Beside others on one display: `taken` are their
    windows, and `tag` names this one's files in a folder they share."""

    def __init__(self, lesson, folder, display, command=None, env=None, frames=1, seconds=60, explore=False, tag="",
                 taken=()):
        self.lesson, self.folder, self.display = lesson, folder, display
        self.tick = os.path.join(folder, "frames" + tag)  # `tag`: another lesson may run in the same folder
        if env is None:
            env = probe_env(lesson, folder, base_env(display.name))
        env["PROBE_TICK"] = self.tick
        command = command or [os.path.join(lesson.bin_dir, lesson.name), *lesson.args] + (["--explore"] if explore else [])
        # Output goes to files, so a long run never blocks on a full pipe.
        self.outputs = os.path.join(folder, "stdout" + tag), os.path.join(folder, "stderr" + tag)
        with open(self.outputs[0], "wb") as out, open(self.outputs[1], "wb") as err:
            self.proc = subprocess.Popen(command, cwd=folder, env=env, stdout=out, stderr=err)
        # In an exercise the title starts with it: "NAME: STATE - ".
        title = "^([a-z_]+: [a-z0-9 ]+ - )?" + re.escape(lesson.window_title) + (" - " if explore else "$")
        try:
            self.wait_frames(frames, seconds)
            ids = [i for i in display.xdotool("search", "--name", title).split() if i not in taken]
            check(len(ids) == 1, f"expected one window titled {lesson.window_title!r}, found {ids}")
            self.window = ids[0]
        except BaseException:
            self.kill()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.kill()

    def frames(self):
        """The frames drawn so far, as the probe's tick file says."""
        try:
            with open(self.tick) as f:
                return int(f.read().strip() or 0)
        except (FileNotFoundError, ValueError):
            return 0

    def wait_frames(self, count, seconds=60):
        deadline = time.monotonic() + seconds
        target = self.frames() + count
        while self.frames() < target:
            check(self.proc.poll() is None, f"the program ended early with status {self.proc.returncode}: "
                                            f"{b' '.join(self.output())[-400:]!r}")
            check(time.monotonic() < deadline, f"not {count} new frames in {seconds} s")
            time.sleep(0.02)

    def key(self, *keys):
        self.display.xdotool("key", "--window", self.window, *keys)

    def drag(self, x0, y0, x1, y1):
        """Drags with the left button across the window, in two moves."""
        w = ["--window", self.window]
        self.display.xdotool("mousemove", *w, str(x0), str(y0), "mousedown", "1",
                             "mousemove", *w, str((x0 + x1) // 2), str((y0 + y1) // 2),
                             "mousemove", *w, str(x1), str(y1), "mouseup", "1")

    def title(self, showing=None, seconds=5):
        """The window's title; with `showing`, once it holds that text."""
        deadline = time.monotonic() + seconds
        while True:
            title = self.display.xdotool("getwindowname", self.window).strip()
            if showing is None or showing in title or time.monotonic() > deadline:
                return title
            time.sleep(0.02)

    def output(self):
        """Standard output and error so far."""
        with open(self.outputs[0], "rb") as out, open(self.outputs[1], "rb") as err:
            return out.read(), err.read()

    def snapshot(self, seconds=10):
        """Explore mode's own screenshot key: the path of the PNG it saved,
        once the program has said so with that whole path."""
        before = set(glob.glob(os.path.join(self.folder, "*.png")))
        self.key("s")
        deadline = time.monotonic() + seconds
        while True:
            new = set(glob.glob(os.path.join(self.folder, "*.png"))) - before
            if new and b"Saved " + min(new).encode() + b"\n" in self.output()[0]:
                return min(new)
            check(self.proc.poll() is None, f"the program ended with status {self.proc.returncode}")
            check(time.monotonic() < deadline, f"no screenshot {seconds} s after the key: {self.output()}")
            time.sleep(0.02)

    def move(self, x, y):
        """No window manager places windows here: freeglut draws nothing in
        one that another covers, and the screen crops one at -1, -1."""
        self.display.xdotool("windowmove", self.window, str(x), str(y))

    def window_image(self, path):
        """The window as the X server shows it, read by another program
        (all of it once moved to 0, 0)."""
        subprocess.run(["import", "-window", self.window, path], env=base_env(self.display.name), check=True)
        return path

    def finish(self, timeout=30):
        self.proc.wait(timeout=timeout)
        out, err = self.output()
        return Result(self.proc.returncode, out, read_log(self.folder), err, self.folder)

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def read_png(path):
    """(width, height, RGB bytes) of an 8-bit RGB or RGBA PNG, the kinds the
    probe and explore mode write (alpha dropped)."""
    with open(path, "rb") as f:
        data = f.read()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", f"{path}: no PNG signature")
    pos, idat, width, height, channels = 8, b"", 0, 0, 3
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        crc = int.from_bytes(data[pos + 8 + length:pos + 12 + length], "big")
        check(zlib.crc32(kind + body) == crc, f"{path}: the {kind!r} chunk's CRC is wrong (strict viewers refuse it)")
        if kind == b"IHDR":
            width, height = int.from_bytes(body[:4], "big"), int.from_bytes(body[4:8], "big")
            check(body[8] == 8 and body[9] in (2, 6) and body[12] == 0, f"{path}: not 8-bit RGB(A)")
            channels = 3 if body[9] == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride = zlib.decompress(idat), width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride) if kind else ():
            left = line[i - channels] if i >= channels else 0
            up, corner = previous[i], previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            else:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(line))
        previous = line
    pixels = b"".join(rows)
    if channels == 4:
        pixels = b"".join(pixels[i:i + 3] for i in range(0, len(pixels), 4))
    return width, height, pixels


def teapot_brightness(path):
    """Mean brightness (0-255) of the pixels that are not the white background."""
    _, _, rgb = read_png(path)
    lit = [sum(rgb[i:i + 3]) / 3 for i in range(0, len(rgb), 3) if min(rgb[i:i + 3]) < 250]
    check(lit, f"{path}: no teapot")
    return sum(lit) / len(lit)


def imgdiff(tools_dir, actual, reference, tolerance=8, share=0.005):
    """Compares two frames: whether they differ by more than the tolerance,
    the comparison's report, and the path of its difference image."""
    diff = os.path.splitext(actual)[0] + ".diff.png"
    proc = subprocess.run([os.path.join(tools_dir, "imgdiff"), actual, reference, diff,
                           str(tolerance), str(share)], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    report = proc.stdout.decode().strip()
    check(proc.returncode in (0, 1), f"imgdiff: {report}")
    return proc.returncode == 1, report, diff


def images_differ(tools_dir, a, b, tolerance=8, share=0.005):
    return imgdiff(tools_dir, a, b, tolerance, share)[0]


def compare_image(tools_dir, actual, reference, tolerance=8, share=0.005):
    differ, report, diff = imgdiff(tools_dir, actual, reference, tolerance, share)
    check(not differ, f"{report}\n  actual: {actual}\n  reference: {reference}\n  difference: {diff}")
    return report


# apitrace ------------------------------------------------------------------------------------

CALL = re.compile(r"^(\d+) (\w+)\((.*)\)( = (.*))?$")


def trace_calls(lesson, folder, frames=2, extra_env=None):
    """Runs the lesson for `frames` frames under apitrace; returns [(name, args, result)]."""
    trace = os.path.join(folder, "lesson.trace")
    result = run(lesson, folder, frames=frames, trace=trace, extra_env=extra_env)
    check(result.rc == 0, f"traced run failed: {result}")
    dump = subprocess.run(["apitrace", "dump", "--color=never", "--verbose", "--multiline=no", trace],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout.decode()
    calls = []
    for line in dump.splitlines():
        m = CALL.match(line)
        if m:
            calls.append((m.group(2), m.group(3), m.group(5)))
    return calls


def call_text(call):
    name, args, result = call
    return f"{name}({args})" + (f" = {result}" if result is not None else "")


def find(calls, pattern, start=0, end=None, what="calls"):
    """Index of the first call in calls[start:end] matching `pattern` (a regex
    over "name(args) = result"); the check fails when there is none, so
    "A comes before B" built from two finds fails when A or B is missing."""
    rx = re.compile(pattern)
    end = len(calls) if end is None else end
    for i in range(start, end):
        if rx.search(call_text(calls[i])):
            return i
    raise Failure(f"{what}: no call matching {pattern!r}")


def expect_in_order(calls, patterns, start=0, what="calls"):
    """Each pattern must match a later call than the one before it. Returns the
    index after the last match."""
    i = start
    for pattern in patterns:
        i = find(calls, pattern, i, what=f"{what}, in order") + 1
    return i


def result_of(calls, pattern, start=0):
    """The value a call returned (an object name OpenGL handed out)."""
    return int(calls[find(calls, pattern, start)][2])


# Matrices as OpenGL keeps them: 16 numbers, column by column.

IDENTITY = [1.0 if i % 5 == 0 else 0.0 for i in range(16)]
NUMBER = re.compile(r"-?\d+(?:\.\d+)?(?:e[-+]?\d+)?")


def mat_mul(a, b):
    return [sum(a[k * 4 + r] * b[c * 4 + k] for k in range(4)) for c in range(4) for r in range(4)]


def translation(x, y, z):
    m = list(IDENTITY)
    m[12:15] = [x, y, z]
    return m


def rotation(angle, x, y, z):
    n = math.sqrt(x * x + y * y + z * z)
    x, y, z = x / n, y / n, z / n
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    t = 1 - c
    return [t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0,
            t * x * y - s * z, t * y * y + c, t * y * z + s * x, 0,
            t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0, 0, 0, 0, 1]


def frustum(l, r, b, t, n, f):
    return [2 * n / (r - l), 0, 0, 0, 0, 2 * n / (t - b), 0, 0,
            (r + l) / (r - l), (t + b) / (t - b), -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0]


def perspective(fovy, aspect, near, far):
    top = near * math.tan(math.radians(fovy) / 2)
    return frustum(-top * aspect, top * aspect, -top, top, near, far)


def look_at(eye, centre, up):
    sub = lambda a, b: [a[i] - b[i] for i in range(3)]
    cross = lambda a, b: [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]
    unit = lambda v: [c / math.sqrt(sum(c * c for c in v)) for c in v]
    f = unit(sub(centre, eye))
    s = unit(cross(f, up))
    u = cross(s, f)
    m = [s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0, s[2], u[2], -f[2], 0, 0, 0, 0, 1]
    return mat_mul(m, translation(-eye[0], -eye[1], -eye[2]))


def matrix_product(calls, start, end):
    """The matrix that the matrix calls in calls[start:end] leave on the
    current stack, whichever way the libraries (GLU, say) spelled them."""
    m = list(IDENTITY)
    for name, args, _ in calls[start:end]:
        v = [float(x) for x in NUMBER.findall(args)]
        if name == "glLoadIdentity":
            m = list(IDENTITY)
        elif name in ("glMultMatrixd", "glMultMatrixf"):
            m = mat_mul(m, v)
        elif name in ("glTranslated", "glTranslatef"):
            m = mat_mul(m, translation(*v))
        elif name in ("glRotated", "glRotatef"):
            m = mat_mul(m, rotation(*v))
        elif name in ("glFrustum",):
            m = mat_mul(m, frustum(*v))
        elif name.startswith(("glScale", "glLoadMatrix", "glOrtho")):
            raise Failure(f"unexpected matrix call {name}({args})")
    return m


def expect_matrix(actual, expected, what):
    check(all(abs(a - e) <= 1e-5 * max(1.0, abs(e)) for a, e in zip(actual, expected)),
          f"{what}: {[round(x, 6) for x in actual]}, expected {[round(x, 6) for x in expected]}")
