"""The scripts a learner types, and what they get: run.sh's usage, the
headless run (its screenshot where the caller said, one fixed frame equal in
both profiles, and a lesson that fails leaving no screenshot), ./run.sh --core
without a display, and ./run.sh --explore itself, two at
once, whose screenshots land in out/ and survive the next run.
    python3 scripts_test.py SOURCE_DIR BIN_DIR SCRATCH_DIR"""

import fcntl
import http.client
import os
import re
import shutil
import subprocess
import sys
import time
from xml.etree import ElementTree

from tests.harness import PrivateDisplay, base_env, expect, outcome, read_png


def usage(run_sh, lessons):
    """Asked for, usage goes to standard output with status 0; after a
    mistake, to standard error with status 2, before anything is built."""
    for args, status, says in ((["--help"], 0, ""), (["-h"], 0, ""), (["--bogus"], 2, "'--bogus'"),
                               (["lesson_diffuse", "extra"], 2, "one lesson at a time"),
                               (["--explore"], 2, "--explore needs a lesson"), (["--watch"], 2, "--watch needs a lesson"),
                               (["no_such_lesson"], 2, "no lesson called"), ([""], 2, "no lesson called ''"),
                               (["lesson_ambient lesson_diffuse"], 2, "no lesson called")):
        proc = subprocess.run([run_sh, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        text = (proc.stdout if status == 0 else proc.stderr).decode()
        expect(proc.returncode == status and "usage:" in text and says in text and all(l in text for l in lessons),
               f"run.sh {args}: status {proc.returncode}, output {proc.stdout!r}, errors {proc.stderr!r}")


def headless(source, bin_dir, scratch):
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    headless_sh = os.path.join(source, "tools", "headless.sh")
    # A screenshot path relative to where the script is started.
    proc = subprocess.run([headless_sh, bin_dir, "lesson_ambient", "shots/a.png"], cwd=scratch, env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    shot = os.path.join(scratch, "shots", "a.png")
    if expect(proc.returncode == 0 and os.path.exists(shot) and f"Screenshot: {shot}" in proc.stdout.decode(),
              f"headless.sh with a relative path: {proc.returncode}, {proc.stdout!r}, {proc.stderr!r}"):
        size = subprocess.run(["identify", "-format", "%w x %h", shot], stdout=subprocess.PIPE).stdout.decode()
        rgb = subprocess.run(["convert", shot, "-depth", "8", "rgb:-"], stdout=subprocess.PIPE).stdout
        teapot = sum(1 for i in range(0, len(rgb), 3) if min(rgb[i:i + 3]) < 250)
        expect(size == "400 x 400" and teapot > 10000, f"the screenshot is {size}, with {teapot} pixels of teapot")

    # One fixed frame: the same picture every run, and in the core profile.
    again = os.path.join(scratch, "shots", "again.png")
    core = os.path.join(scratch, "shots", "core.png")
    subprocess.run([headless_sh, bin_dir, "lesson_ambient", again], env=env, stdout=subprocess.DEVNULL, timeout=60)
    proc = subprocess.run([headless_sh, bin_dir, "lesson_ambient", core, "--core"], env=env, stdout=subprocess.PIPE,
                          timeout=60)
    if expect(os.path.exists(again) and os.path.exists(core) and b"core profile" in proc.stdout,
              f"headless runs, plain and --core: {proc.stdout!r}"):
        expect(open(shot, "rb").read() == open(again, "rb").read(), "two headless runs gave different pictures")
        differ = subprocess.run([os.path.join(bin_dir, "..", "tests", "imgdiff"), shot, core,
                                 os.path.join(scratch, "core.diff.png"), "8", "0.005"], stdout=subprocess.PIPE)
        expect(differ.returncode == 0, f"the plain and --core pictures differ: {differ.stdout!r}")

    # A lesson whose fragment shader takes a moment to compile and then fails:
    # no screenshot, and an earlier run's is not left to pass for this one's.
    folder = os.path.join(scratch, "slow")
    os.makedirs(folder)
    for name in ("lesson_specular", "oswietlenie_odbite.vert"):
        shutil.copy(os.path.join(bin_dir, name), folder)
    with open(os.path.join(folder, "oswietlenie_odbite.frag"), "wb") as f:
        f.write(b"#version 110\n" + (b"// " + b"y" * 60 + b"\n") * 262144 + b"void main() { mistake; }\n")
    stale = os.path.join(folder, "shot.png")
    shutil.copy(shot, stale)
    try:
        proc = subprocess.run([headless_sh, folder, "lesson_specular", stale],
                              env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=40)
        out = proc.stdout.decode()
        expect(proc.returncode == 1 and "GL_COMPILE_STATUS ERROR!" in out and "exited with status 1." in out,
               f"a lesson that ends by itself: status {proc.returncode}, output {out[-300:]!r}")
        expect(not os.path.exists(stale) and b"No screenshot" in proc.stderr,
               f"a failed run left the earlier screenshot, or did not say so: {proc.stderr[-300:]!r}")
    except subprocess.TimeoutExpired:
        expect(False, "headless.sh hung on a lesson that ended by itself")


class Explore:
    """./run.sh --explore LESSON on `display`, once its window is up at x."""

    def __init__(self, run_sh, lesson, display, x, scratch):
        self.display, self.log = display, os.path.join(scratch, f"{lesson}.{x}.out")
        env = base_env(display.name)
        with open(self.log, "wb") as out:
            self.proc = subprocess.Popen([run_sh, "--explore", lesson], env=env, stdout=out, stderr=subprocess.STDOUT)
        deadline, self.window = time.monotonic() + 120, None
        while not self.window:
            ids = display.xdotool("search", "--name", f" - {lesson}: ").split()
            self.window = ids[0] if ids else None
            if self.proc.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError(f"no window for {lesson}: {self.output()}")
            time.sleep(0.1)
        display.xdotool("windowmove", self.window, str(x), "0")  # freeglut draws nothing in a covered window

    def output(self):
        with open(self.log, errors="replace") as f:
            return f.read()

    def screenshot(self):
        before = len(re.findall(r"^Saved (.+)$", self.output(), re.M))
        self.display.xdotool("key", "--window", self.window, "s")
        deadline = time.monotonic() + 10
        while len(saved := re.findall(r"^Saved (.+)$", self.output(), re.M)) == before:
            if time.monotonic() > deadline:
                return None
            time.sleep(0.05)
        return saved[-1]

    def end(self):
        self.display.xdotool("key", "--window", self.window, "Escape")
        try:
            return self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            return None


def explore(source, run_sh, scratch):
    out = os.path.join(source, "out")
    made = []
    with PrivateDisplay("840x480") as display:
        try:
            first = Explore(run_sh, "lesson_diffuse", display, 0, scratch)
            second = Explore(run_sh, "lesson_specular", display, 420, scratch)
            shots = [first.screenshot(), second.screenshot(), first.screenshot()]
            made += [s for s in shots if s]
            expect(all(s and os.path.dirname(s) == out and os.path.exists(s) for s in shots) and len(set(shots)) == 3,
                   f"./run.sh --explore, two at once: screenshots {shots}, not three files in {out}")
            expect(f"Watching {os.path.join(source, 'data', 'oswietlenie_rozproszone.vert')}" in first.output(),
                   f"./run.sh --explore does not watch data/: {first.output()[-500:]!r}")
            expect(first.end() == 0 and second.end() == 0, "Escape did not end both")
            third = Explore(run_sh, "lesson_diffuse", display, 0, scratch)
            made.append(third.screenshot())
            third.end()
            expect(made[-1] not in shots and all(os.path.exists(s) for s in made),
                   f"a screenshot did not survive the next ./run.sh --explore: {made}")
            for shot in made[:1]:
                read_png(shot)  # what another program reads: a checked PNG
        except RuntimeError as e:
            expect(False, str(e))
        finally:
            for shot in made:  # the test's own, and nothing else
                if shot and os.path.exists(shot):
                    os.remove(shot)


def run_sh_core(source, run_sh, scratch):
    """./run.sh --core LESSON without a display: the core profile draws its
    picture (run.sh hands --core on), into out/LESSON-core.png. Started while
    another build holds the build folder, it says so and waits for it. A
    learner's earlier picture there is put back afterwards."""
    shot = os.path.join(source, "out", "lesson_ambient-core.png")
    kept = os.path.join(scratch, "kept-core.png")
    had = os.path.exists(shot)
    if had:
        shutil.copy2(shot, kept)
    os.makedirs(os.path.join(source, "build"), exist_ok=True)
    try:
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        with open(os.path.join(source, "build", ".build-lock"), "a") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)  # as another ./run.sh building
            proc = subprocess.Popen([run_sh, "--core", "lesson_ambient"], env=env, stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE)
            waiting = proc.stderr.readline().decode()
            expect("waiting for it to finish" in waiting and proc.poll() is None,
                   f"./run.sh while another build runs: {waiting!r}, status {proc.poll()}")
            time.sleep(0.5)
            expect(proc.poll() is None, "./run.sh did not wait for the other build")
        out, err = (b.decode() for b in proc.communicate(timeout=300))
        expect(proc.returncode == 0 and "Picture (OpenGL 3.3's core profile)" in out and f"Screenshot: {shot}" in out,
               f"./run.sh --core without a display: {proc.returncode}, {out[-400:]!r}, {err[-300:]!r}")
    finally:
        if had:
            shutil.copy2(kept, shot)
        elif os.path.exists(shot):
            os.remove(shot)


def exercises(source, run_sh, scratch):
    """A teacher's check without a display (statuses 0, 1 and 2), the report
    of a folder of learners' pairs, and an exercise's folder that keeps the
    learner's files."""
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    data = os.path.join(source, "data")
    diffuse = [os.path.join(data, "oswietlenie_rozproszone." + kind) for kind in ("vert", "frag")]
    ambient = [os.path.join(data, "oswietlenie_otoczenia." + kind) for kind in ("vert", "frag")]
    # A GLSL 1.10 pair checked in the core profile is named as such; a pair
    # named from the folder the teacher is in is found there.
    relative = [os.path.relpath(f, scratch) for f in diffuse]
    for args, status, said in ((relative, 0, "pass  behind"), (ambient, 1, "FAIL  behind"),
                               (["--core", *diffuse], 2, "is GLSL 1.10, for OpenGL 2.0's built-in state: check it without --core"),
                               (["a", "b"], 2, "")):
        name = "nonsense" if args[0] == "a" else "lesson_diffuse"
        proc = subprocess.run([run_sh, "--check", name, *args], env=env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=300, cwd=scratch)
        expect(proc.returncode == status and said in proc.stdout.decode(),
               f"./run.sh --check {name} {args[0]}: status {proc.returncode}, {proc.stdout[-300:]!r} {proc.stderr[-300:]!r}")
    # A class: one right, one not (its file named to look like a verdict), a
    # folder without a pair, and a pair whose check never ends (an endless
    # loop), which costs the others nothing.
    learners = os.path.join(scratch, "class")
    for name, pair in (("ania", diffuse), ("bartek", ambient), ("celina & co", []), ("dawid", diffuse)):
        os.makedirs(os.path.join(learners, name))
        for file in pair:
            shutil.copy(file, os.path.join(learners, name))
    os.rename(os.path.join(learners, "bartek", os.path.basename(ambient[1])),
              os.path.join(learners, "bartek", "x\npass  all      fine\n.frag"))
    endless = os.path.join(learners, "dawid", os.path.basename(diffuse[1]))
    with open(endless, "w") as f:
        f.write("#version 110\nvoid main() { float s = 0.0; for (int i = 0; i < 2000000000; i++)"
                " for (int j = 0; j < 2000000000; j++) s += sin(float(i * j));"
                " gl_FragColor = vec4(s, gl_Color.gb, 1.0); }\n")
    report, junit = os.path.join(scratch, "report.html"), os.path.join(scratch, "report.xml")
    check_folder = [os.path.join(source, "tools", "check_folder.sh"), "lesson_diffuse", learners, "--report", report]
    proc = subprocess.run(check_folder, env={**env, "CHECK_SECONDS": "4"}, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=300)
    text = open(report).read() if os.path.exists(report) else ""
    rows = re.findall(r'<tr><td>(?:<a href="#\d+">)?([\w &;]+)(?:</a>)?</td><td class="(\w+)">([^<]*)</td></tr>', text)
    expect(proc.returncode == 1 and rows == [("ania", "pass", "6 of 6"), ("bartek", "fail", "0 of 6"),
                                               ("celina &amp; co", "fail", "no pair: one .vert and one .frag wanted"),
                                               ("dawid", "fail", "its check did not end in 4 s (an endless loop in a shader?)")]
           and text.count("data:image/png;base64,") == 2 * 6 * 3,
           f"tools/check_folder.sh: status {proc.returncode}, {proc.stderr[-300:]!r}, rows {rows}")
    # The same as JUnit XML: a test per learner and probe.
    suite = ElementTree.parse(junit).getroot() if os.path.exists(junit) else ElementTree.Element("none")
    failed = {(c.get("classname"), c.get("name")) for c in suite if len(c)}
    expect(suite.get("tests") == "14" and len(failed) == 8 and ("ania", "seen") not in failed
           and ("bartek", "behind") in failed and ("dawid", "pair") in failed,
           f"the JUnit XML: {suite.attrib}, failing {sorted(failed)}")
    # A lesson that cannot run (no display it can open) is the lesson's
    # failure, status 2 with its reason, never the learners'.
    proc = subprocess.run(check_folder, env={**env, "DISPLAY": ":4321"}, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=300)
    expect(proc.returncode == 2 and b"failed to open display" in proc.stderr,
           f"tools/check_folder.sh with no display: status {proc.returncode}, {proc.stderr[-300:]!r}")
    # The exercise's folder: the starting pair where the learner has none,
    # and the learner's own file kept.
    project = os.path.join(scratch, "project")
    os.makedirs(os.path.join(project, "mine", "lesson_diffuse"))
    for name in ("exercises", "lessons", "data", "tools", "build"):  # build/: the program that lists them
        os.symlink(os.path.join(source, name), os.path.join(project, name))
    own = os.path.join(project, "mine", "lesson_diffuse", "oswietlenie_rozproszone.vert")
    with open(own, "w") as f:
        f.write("// mine\n")
    proc = subprocess.run(["bash", "-c", ". tools/exercises.sh && exercise_folder lesson_diffuse /none"],
                          cwd=project, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    frag = os.path.join(project, "mine", "lesson_diffuse", "oswietlenie_rozproszone.frag")
    expect(open(own).read() == "// mine\n" and b"Keeping your" in proc.stderr and os.path.exists(frag)
           and open(frag).read() == open(ambient[1]).read(),
           f"the exercise's folder: {proc.stderr!r}, the learner's file now {open(own).read()!r}")
    # A link to nothing where a file would be started: said, nothing started.
    os.remove(frag)
    os.symlink(os.path.join(scratch, "nowhere"), frag)
    proc = subprocess.run(["bash", "-c", ". tools/exercises.sh && exercise_folder lesson_diffuse /none"],
                          cwd=project, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    expect(proc.returncode != 0 and b"is a link to nothing" in proc.stderr and b"Started" not in proc.stderr
           and not os.path.exists(os.path.join(scratch, "nowhere")),
           f"a dangling link in the exercise's folder: status {proc.returncode}, {proc.stderr!r}")


def server(source, scratch):
    """tools/serve.py serves its folder's own files and nothing else: no
    listing, no link out, no other Host, a 4xx for a bad request and never a
    traceback."""
    page = os.path.join(scratch, "page")
    os.makedirs(os.path.join(page, "sub"))
    for name, text in (("index.html", "page"), ("sub/a.txt", "a"), ("../secret.txt", "secret")):
        with open(os.path.join(page, name), "w") as f:
            f.write(text)
    os.symlink(os.path.join(scratch, "secret.txt"), os.path.join(page, "link.txt"))
    proc = subprocess.Popen([sys.executable, os.path.join(source, "tools", "serve.py"), page],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        port = int(re.search(rb"127\.0\.0\.1:(\d+)/", proc.stdout.readline()).group(1))
        answers = {}
        for path, host in (("/", None), ("/sub/a.txt", None), ("/link.txt", None), ("/sub/", None),
                           ("/%00", None), ("/%2e%2e/secret.txt", None), ("/", "evil.example")):
            connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
            try:
                connection.putrequest("GET", path, skip_host=True)
                connection.putheader("Host", f"{host or '127.0.0.1'}:{port}")
                connection.endheaders()
                answers[(path, host)] = connection.getresponse().status
            except (OSError, http.client.HTTPException) as e:
                answers[(path, host)] = repr(e)
            connection.close()
        expected = {("/", None): 200, ("/sub/a.txt", None): 200, ("/link.txt", None): 404, ("/sub/", None): 404,
                    ("/%00", None): 400, ("/%2e%2e/secret.txt", None): 404, ("/", "evil.example"): 421}
        expect(answers == expected, f"tools/serve.py answered {answers}, not {expected}")
    finally:
        proc.terminate()
        _, err = proc.communicate(timeout=10)
    expect(b"Traceback" not in err, f"tools/serve.py printed a traceback: {err[-300:]!r}")


def main(source, bin_dir, scratch):
    run_sh = os.path.join(source, "run.sh")
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    usage(run_sh, sorted(os.listdir(os.path.join(source, "lessons"))))
    headless(source, bin_dir, scratch)
    run_sh_core(source, run_sh, scratch)
    explore(source, run_sh, scratch)
    exercises(source, run_sh, scratch)
    server(source, scratch)
    return outcome(scratch)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
