"""End-to-end cases for the lesson programs. Each case is one CTest entry:
    python3 cases.py --bin BIN --tools TOOLS --out OUT --reference REF CASE LESSON
"""

import argparse
import copy
import os
import re
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

from tests.harness import (MSG_FRAG, MSG_NO_GL2, MSG_TEXTURE, MSG_VERT, NUMBER, Lesson, PrivateDisplay, Running,
                     base_env, call_text, check, compare_image, expect_in_order, expect_matrix, find, images_differ, look_at,
                     mat_mul, matrix_product, perspective, probe_env, result_of, rotation, run, run_case, scratch_folder,
                     read_png, teapot_brightness, trace_calls)

CASES = {}


def case(fn):
    CASES[fn.__name__] = fn
    return fn


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def expect_failure(result, output, status=1, what="", advice=()):
    """The lesson's own message on standard output and its status, then the
    advice on standard error naming each of `advice` (file, stage, reason)."""
    check(result.out == output and result.rc == status,
          f"{what}: expected {output!r} and status {status}, got {result}")
    err = result.err.decode(errors="replace")
    missing = [text for text in advice if text not in err]
    check(not missing, f"{what}: the advice does not say {missing}: {err!r}")


# Start-up failures -----------------------------------------------------------------------------

@case
def missing_shader_files(lesson, opts):
    folder = lesson.scratch()
    os.remove(os.path.join(folder, lesson.frag))
    expect_failure(run(lesson, folder), MSG_FRAG, what="fragment shader missing",
                   advice=[f'fragment shader "{os.path.join(folder, lesson.frag)}"', "no such file", "build/bin"])
    os.remove(os.path.join(folder, lesson.vert))
    result = run(lesson, folder)
    expect_failure(result, MSG_VERT, what="both shaders missing", advice=[f'vertex shader "{os.path.join(folder, lesson.vert)}"'])
    check(lesson.frag not in result.opened(), "the fragment file was looked for after the vertex file failed")


@case
def no_core_context(lesson, opts):
    """A driver held at OpenGL 3.1, or at GLSL 1.20, gives no 3.3 core
    context: the lesson says so in its own manner, never with X's error
    lines, and the advice names the setting that holds the driver back
    (never the software renderer, already asked for)."""
    for name, value in (("MESA_GL_VERSION_OVERRIDE", "3.1"), ("MESA_GLSL_VERSION_OVERRIDE", "120")):
        result = run(lesson, lesson.scratch(), extra_env={name: value})
        expect_failure(result, b"OpenGL 3.3 core profile nie jest wspierany\n\n", what=f"{name}={value}",
                       advice=["--core", f"unset {name} (set to {value})"])
        check(b"X Error" not in result.err and b"LIBGL_ALWAYS_SOFTWARE=1" not in result.err,
              f"{name}={value}: {result.err!r}")


@case
def no_opengl_2(lesson, opts):
    folder = lesson.scratch()
    result = run(lesson, folder, extra_env={"MESA_GL_VERSION_OVERRIDE": "1.5"})
    expect_failure(result, MSG_NO_GL2, what="OpenGL 1.5 only", advice=["offers OpenGL 1.5", "MESA_GL_VERSION_OVERRIDE"])
    check(result.opened() == [], f"files were opened without OpenGL 2.0: {result.opened()}")


# The running program --------------------------------------------------------------------------

def frames_match(lesson, pictures, folder=None):
    """One run of the lesson; each frame k of `pictures` {k: (picture, update)}
    must match its picture, or, with the environment variable `update` set
    to 1, replaces it."""
    folder = folder or lesson.scratch()
    actual = {k: os.path.join(folder, f"{lesson.name}.{k}.png") for k in pictures}
    result = run(lesson, folder, frames=max(pictures), capture=actual)
    for k, (picture, update) in pictures.items():
        check(result.rc == 0 and os.path.exists(actual[k]), f"no frame {k}: {result}")
        if os.environ.get(update) == "1":
            shutil.copy(actual[k], picture)
            print("updated", picture)
        else:
            print(f"frame {k}:", compare_image(lesson.tools_dir, actual[k], picture))


def gradient_tga(bits):
    """A TGA whose red grows with s and green with t (blue, alpha: 255): a
    lookup that swaps s and t, invisible with the lessons' own symmetric
    images, turns it the other way."""
    size = 32
    pixels = b"".join(bytes([255, y * 8, x * 8] + [255] * (bits == 32)) for y in range(size) for x in range(size))
    return tga(size, size, bits, size=18) + pixels


GALLERY_FRAME = 301  # the teapot turned by 30 degrees


@case
def reference_frame(lesson, opts):
    """The first frame against its reference, and the guide's picture in
    docs/ against what the lesson draws now, from one run."""
    frames_match(lesson, {1: (os.path.join(opts.reference, lesson.name + ".png"), "UPDATE_REFERENCES"),
                          GALLERY_FRAME: (os.path.join(opts.gallery, lesson.name + ".png"), "UPDATE_GALLERY")})
    if lesson.textured:  # and with images of the test's own that tell s from t
        folder = lesson.scratch()
        write(folder, "tex0.tga", gradient_tga(24))
        write(folder, "tex1.tga", gradient_tga(32))
        frames_match(lesson, {1: (os.path.join(opts.reference, lesson.name + "_st.png"), "UPDATE_REFERENCES")}, folder)


def picture(lesson, folder, name, *scene):
    """A picture on demand (--picture), in the lesson's profile: its path."""
    path = os.path.join(folder, f"{name}.png")
    result = run(lesson, folder, args=["--picture", path, *scene])
    check(result.rc == 0 and os.path.exists(path) and result.out.startswith(b"Picture ("),
          f"--picture {' '.join(scene)}: {result}")
    return path


def both_profiles(lesson):
    """The lesson as it runs plainly and in the core profile, with a folder
    holding both pairs."""
    plain, core = (Lesson(lesson.name, lesson.bin_dir, lesson.tools_dir, lesson.out_dir, core=c) for c in (False, True))
    folder = plain.scratch()
    for name in core.data_files():
        os.makedirs(os.path.dirname(os.path.join(folder, name)) or folder, exist_ok=True)
        shutil.copy(os.path.join(lesson.bin_dir, name), os.path.join(folder, name))
    return plain, core, folder


# Scenes for pictures on demand: three turns, the camera as it is and orbited
# (yaw, pitch). The suite draws three of them (each turn once, each orbit);
# bench/README.md has all six measured.
PICTURE_SCENES = [("0", None), ("30", "120,30"), ("135", None)]


@case
def picture_on_demand(lesson, opts):
    """A picture drawn off screen on demand, with no frame loop and no
    sleeping: at angle 0 it is the first frame's reference, in both
    profiles; in a wide picture, turned and orbited, the two profiles agree
    (a projection with its aspect upside down would stretch one of them)."""
    plain, core, folder = both_profiles(lesson)
    reference = os.path.join(opts.reference, lesson.name + ".png")
    for profile in (plain, core):
        compare_image(lesson.tools_dir, picture(profile, folder, f"first{profile.args}"), reference)
    wide = [picture(profile, folder, f"wide{profile.args}", "--angle", "30", "--orbit", "120,30", "--size", "360x200")
            for profile in (plain, core)]
    print("wide:", compare_image(lesson.tools_dir, *wide))


@case
def pictures_agree(lesson, opts):
    """The same scene drawn by the built-in state and the core profile agrees
    within the references' tolerance, at three turns, orbited and not."""
    plain, core, folder = both_profiles(lesson)
    for angle, orbit in PICTURE_SCENES:
        scene = ["--angle", angle] + (["--orbit", orbit] if orbit else [])
        name = f"a{angle}" + (f"o{orbit.replace(',', '_')}" if orbit else "")
        pair = [picture(profile, folder, name + "".join(profile.args), *scene) for profile in (plain, core)]
        print(f"angle {angle}, orbit {orbit}:", compare_image(lesson.tools_dir, *pair))


@case
def no_highlight_in_the_dark(lesson, opts):
    """Where a surface faces away from the light there is no highlight, even
    where the normal is near the halfway vector. With the diffuse term
    turned off everywhere (so every point counts as facing away), the teapot
    must be its flat ambient colour: no white, no falloff."""
    folder = lesson.scratch()
    shader = lesson.frag if lesson.name != "lesson_per_vertex" else lesson.vert
    with open(os.path.join(folder, shader)) as f:
        source = f.read()
    lambert = "float lambert = max(dot(normal, lightDir), 0.0);"
    check(lambert in source, f"{shader} no longer computes lambert as the test expects")
    write(folder, shader, source.replace(lambert, "float lambert = 0.0 * max(dot(normal, lightDir), 0.0);"))
    picture = os.path.join(folder, "dark.png")
    result = run(lesson, folder, frames=1, capture={1: picture})
    check(result.rc == 0, f"no frame: {result}")
    _, _, rgb = read_png(picture)
    bright = sum(1 for i in range(0, len(rgb), 3) if 60 < max(rgb[i:i + 3]) and min(rgb[i:i + 3]) < 250)
    check(bright == 0, f"{bright} pixels of highlight where the surface faces away from the light")


@case
def gallery_gouraud(lesson, opts):
    """The guide's Gouraud picture: the specular lesson's scene (its light,
    its material) drawn by the per-vertex lesson's pair, as explore mode's
    key 3 does, beside the lesson's own Phong shading."""
    folder = lesson.scratch()
    for kind in ("vert", "frag"):
        shutil.copy(os.path.join(lesson.bin_dir, f"oswietlenie_per_vertex.{kind}"), os.path.join(folder, f"{lesson.stem}.{kind}"))
    frames_match(lesson, {GALLERY_FRAME: (os.path.join(opts.gallery, lesson.name + "_gouraud.png"), "UPDATE_GALLERY")},
                 folder)


@case
def escape_ends(lesson, opts):
    with PrivateDisplay() as display:
        with Running(lesson, lesson.scratch(), display) as running:
            running.key("Escape")
            result = running.finish()
    check(result.rc == 0 and result.out == b"", f"Escape: {result}")


EXPLORE_KEYS = ("space", "Left", "Right", "r", "b", "s", "h", "1", "3", "5")


def teapot_extent(path):
    """The width and height, in pixels, of what is not the white background
    (in any PNG: ImageMagick's import writes a palette where it can)."""
    plain = os.path.splitext(path)[0] + ".rgb.png"
    subprocess.run(["convert", path, "-depth", "8", "PNG24:" + plain], check=True)
    width, height, rgb = read_png(plain)
    xs, ys = set(), set()
    for i in range(0, len(rgb), 3):
        if min(rgb[i:i + 3]) < 250:
            xs.add(i // 3 % width)
            ys.add(i // 3 // width)
    check(xs, f"{path}: no teapot")
    return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


@case
def other_keys_and_resize(lesson, opts):
    with PrivateDisplay() as display:
        with Running(lesson, lesson.scratch(), display) as running:
            running.key("a", "Z", "5", "Return", "space", "q", "Escape")
            result = running.finish()
            check(result.rc == 0, f"Escape after other keys: {result}")
        # Explore mode's keys and the mouse do nothing without --explore: the
        # teapot goes on turning, the title stays, no screenshot appears.
        folder = lesson.scratch()
        with Running(lesson, folder, display) as running:
            running.key(*EXPLORE_KEYS)
            running.drag(20, 200, 380, 200)
            shots = []
            for n in range(2):
                running.wait_frames(20)
                shots.append(os.path.join(folder, f"x{n}.png"))
                running.window_image(shots[-1])
            check(images_differ(lesson.tools_dir, *shots), "the turn stopped after explore mode's keys")
            check(running.title() == lesson.window_title, f"the title changed: {running.title()!r}")
            running.key("Escape")
            result = running.finish()
            check(result.rc == 0 and result.out == b"" and not [f for f in os.listdir(folder) if f.startswith("lesson")],
                  f"explore mode's keys without --explore: {result}")
        with Running(lesson, lesson.scratch(), display) as running:
            for key in ("a", "Z", "5", "Return", "space", "q", "F1", "Up"):
                running.key(key)
                running.wait_frames(3)
            for width, height in ((300, 200), (640, 120), (1, 1), (400, 400)):
                display.xdotool("windowsize", running.window, str(width), str(height))
                if width > 1:  # freeglut draws nothing while a side is 1 pixel
                    running.wait_frames(3)
            # A wide window shows the teapot wider, not stretched: whatever
            # its turn, it is at most 1.9 times as wide as it is high (a
            # projection that keeps a square's aspect makes it twice as wide).
            running.move(0, 0)
            display.xdotool("windowsize", running.window, "600", "300")
            running.wait_frames(3)
            width, height = teapot_extent(running.window_image(os.path.join(lesson.out_dir, f"wide{running.window}.png")))
            check(0.9 <= width / height <= 1.9, f"in a 600 x 300 window the teapot is {width} x {height} pixels")
            running.key("Escape")
            result = running.finish()
    check(result.rc == 0 and result.out == b"", f"after keys and resizing: {result}")


@case
def extra_arguments(lesson, opts):
    folder = lesson.scratch()
    result = run(lesson, folder, args=["--help", "-x", "stray"], frames=3)
    check(result.rc == 0 and result.out == b"" and "frames 3" in result.log, f"with extra arguments: {result}")
    # The lessons' own options with a value missing or wrong: said once, with
    # the options, and status 2, before any window.
    for args, says in ((["--picture"], "--picture wants a value"), (["--picture", "p.png", "--angle", "x"], "--angle"),
                       (["--picture", "p.png", "--orbit", "10"], "--orbit"),
                       (["--picture", "p.png", "--size", "0x5"], "--size"), (["--angle", "5"], "for --picture")):
        result = run(lesson, folder, args=args)
        check(result.rc == 2 and result.out == b"" and says.encode() in result.err and b"--picture FILE" in result.err
              and not result.opened(), f"{args}: {result}")


# The scene state a lesson sets before its first frame, by variant: each
# variant sets everything the one before it does, and nothing else.
SCENE_STATE = {
    "plain": ["glEnable(cap = GL_DEPTH_TEST)", "glClearColor(red = 1, green = 1, blue = 1, alpha = 1)"],
    "lit": ["glMaterialfv(face = GL_FRONT, pname = GL_SPECULAR, params = {1, 1, 1, 1})",
            "glMaterialfv(face = GL_FRONT, pname = GL_SHININESS, params = &50)",
            "glLightfv(light = GL_LIGHT0, pname = GL_POSITION, params = {1, 1, 1, 0})",
            "glEnable(cap = GL_LIGHTING)", "glEnable(cap = GL_LIGHT0)"],
    "textured": ["glActiveTexture(texture = GL_TEXTURE0)", "glEnable(cap = GL_TEXTURE_2D)",
                 "glActiveTexture(texture = GL_TEXTURE1)", "glEnable(cap = GL_TEXTURE_2D)"],
}
STATE_CALLS = re.compile(r"^gl(Enable|Disable|Clear(Color|Depth)|Material|Light|ActiveTexture|ShadeModel|"
                         r"ColorMaterial|DepthFunc|CullFace|FrontFace|Blend)")
CAMERA = look_at((0, 0, 10), (0, 0, -1), (0, 1, 0))


def expected_scene(lesson):
    variants = list(SCENE_STATE)
    return [call for v in variants[:variants.index(lesson.scene) + 1] for call in SCENE_STATE[v]]


def shader_ids(calls):
    return (result_of(calls, r"^glCreateShader\(type = GL_VERTEX_SHADER\)"),
            result_of(calls, r"^glCreateShader\(type = GL_FRAGMENT_SHADER\)"),
            result_of(calls, r"^glCreateProgram\(\)"))


def check_frame(lesson, calls, start, angle, textures, what):
    """One frame from `start`: the camera and the turn as numbers, the light,
    the colour and the textures between them. Returns the index after it."""
    mode = find(calls, r"^glMatrixMode\(mode = GL_MODELVIEW\)", start, what=what)
    draw = find(calls, r"^glDrawElements\(mode = GL_TRIANGLES", mode, what=what)
    turn = find(calls, rf"^glRotatef\(angle = {angle}, x = 0, y = 1, z = 0\)", mode, draw, what=what)
    find(calls, r"^glLoadIdentity\(\)", mode, turn, what=what)
    expect_matrix(matrix_product(calls, mode + 1, turn), CAMERA, f"{what}: the camera")
    expect_matrix(matrix_product(calls, mode + 1, draw), mat_mul(CAMERA, rotation(angle, 0, 1, 0)),
                  f"{what}: camera and turn")
    lights = [i for i in range(mode, draw) if calls[i][0] == "glLightfv"]
    if lesson.per_frame_light:
        check(len(lights) == 1 and call_text(calls[lights[0]]).startswith(
            "glLightfv(light = GL_LIGHT0, pname = GL_POSITION, params = {0.5, 0.2, 1, 0})") and lights[0] < turn,
            f"{what}: light 0 not placed once between the camera and the turn: {lights}")
        expect_matrix(matrix_product(calls, mode + 1, lights[0]), CAMERA, f"{what}: the camera before the light")
    else:
        check(lights == [], f"{what}: light 0 placed in a lesson whose light is fixed to the viewer")
    order = [r"^glColor3f\(red = 1, green = 0\.5, blue = 0\.5\)"]
    if lesson.textured:
        order += [r"^glActiveTexture\(texture = GL_TEXTURE1\)", rf"^glBindTexture\(target = GL_TEXTURE_2D, texture = {textures[1]}\)",
                  r"^glActiveTexture\(texture = GL_TEXTURE0\)", rf"^glBindTexture\(target = GL_TEXTURE_2D, texture = {textures[0]}\)"]
    check(expect_in_order(calls, order, turn, what) <= draw, f"{what}: colour or textures after the teapot")
    return find(calls, r"^glXSwapBuffers", draw, what=what) + 1


@case
def call_order(lesson, opts):
    # A window wider than it is tall: an aspect ratio taken upside down
    # (height / width) would go unseen in a square one.
    calls = trace_calls(lesson, lesson.scratch(), frames=2, extra_env={"PROBE_WINDOW": "480x300"})
    glew = find(calls, r"^glGetString\(name = GL_VERSION\)", what="GLEW start-up")
    vert, frag, prog = shader_ids(calls)
    shaders = [rf"^glShaderSource\(shader = {vert},", rf"^glShaderSource\(shader = {frag},",
               rf"^glCompileShader\(shader = {vert}\)", rf"^glCompileShader\(shader = {frag}\)",
               rf"^glAttachShader\(program = {prog}, shader = {vert}\)",
               rf"^glAttachShader\(program = {prog}, shader = {frag}\)",
               rf"^glLinkProgram\(program = {prog}\)", rf"^glUseProgram\(program = {prog}\)",
               rf"^glGetShaderiv\(shader = {vert}, pname = GL_COMPILE_STATUS",
               rf"^glGetShaderiv\(shader = {frag}, pname = GL_COMPILE_STATUS",
               rf"^glGetProgramiv\(program = {prog}, pname = GL_LINK_STATUS"]
    shader_start = find(calls, r"^glCreateShader\(type = GL_VERTEX_SHADER\)")
    check(shader_start > glew, "shaders were made before GLEW started")
    after_shaders = expect_in_order(calls, shaders, shader_start, "shader set-up")

    # The whole scene state, in order, and nothing more, before the first frame.
    first = find(calls, r"^glMatrixMode\(mode = GL_PROJECTION\)", after_shaders, what="the first reshape")
    state = [i for i in range(first) if STATE_CALLS.search(calls[i][0])]
    actual = [call_text(calls[i]) for i in state]
    check(actual == expected_scene(lesson), f"scene state {actual}, expected {expected_scene(lesson)}")
    if lesson.before_glew:
        check(state[-1] < glew, "the scene state was not set before GLEW started")
    else:
        check(state[0] > after_shaders, "the scene state was set before the shaders")
    textures = []
    if lesson.textured:
        textures = [int(n) for n in NUMBER.findall(calls[find(calls, r"^glGenTextures\(n = 2,")][1])[1:3]]
        check(state[0] > find(calls, r"^glTexImage2D", find(calls, r"^glTexImage2D") + 1),
              "the textured scene was set before both textures")

    # reshape: the projection as numbers, for the window's own aspect.
    clear = find(calls, r"^glClear\(mask = GL_DEPTH_BUFFER_BIT \| GL_COLOR_BUFFER_BIT\)", first)
    check(all(c[0] in ("glMatrixMode", "glLoadIdentity", "glViewport", "glMultMatrixd", "glMultMatrixf", "glFrustum",
                       "glXMakeContextCurrent") for c in calls[first:clear]), "unexpected calls inside reshape")
    viewport = find(calls, r"^glViewport\(x = 0, y = 0, width = \d+, height = \d+\)", first, clear)
    width, height = (int(n) for n in NUMBER.findall(calls[viewport][1])[2:4])
    check((width, height) == (480, 300), f"the window is {width} x {height}, not the 480 x 300 asked for")
    find(calls, r"^glLoadIdentity\(\)", first, viewport)
    expect_matrix(matrix_product(calls, first + 1, clear), perspective(45, width / height, 1, 1000), "projection")
    end = check_frame(lesson, calls, clear, 0, textures, "first frame")
    check_frame(lesson, calls, end, 0.1, textures, "second frame")


# Mesa's llvmpipe uploads the teapot's client-side arrays through 1 MiB
# buffers of its own; when one fills, the next is allocated, and one of them
# can stay resident for good, at whatever frame that happens (seen between
# frames 8,000 and 15,000), while a few pages come and go (Mesa 25 swings by
# 16 KiB either way). A leak grows resident memory a little every frame
# instead: a 64-byte one by 50 to 120 KiB per thousand frames. What the
# program's own code allocates is counted exactly, from frame 1,000 on.
SOAK_FRAMES = 10000
SOAK_STEP = 1000
SOAK_PAGES_KIB = 16  # net growth allowed beside the one buffer: four pages


@case
def soak(lesson, opts):
    """10,000 frames: no allocation by the program's own code after the first
    thousand, and resident memory flat but for its largest single rise."""
    folder = lesson.scratch()
    checkpoints = list(range(SOAK_STEP, SOAK_FRAMES + 1, SOAK_STEP))
    result = run(lesson, folder, frames=SOAK_FRAMES, rss_at=checkpoints, timeout=900)
    check(result.rc == 0, f"soak run: {result}")
    seen = {}
    for line in result.log:
        if line.startswith("frame "):
            fields = line.split()
            seen[int(fields[1])] = (int(fields[3]), int(fields[7]))
    check(sorted(seen) == checkpoints, f"resident memory not logged: {result.log}")
    rss = [seen[k][0] for k in checkpoints]
    own = [seen[k][1] for k in checkpoints]
    largest = max(rss[i + 1] - rss[i] for i in range(len(rss) - 1))
    # From the first five checkpoints to the last five, by their medians: a
    # page that comes and goes at either end does not count.
    growth = statistics.median(rss[-5:]) - statistics.median(rss[:5]) - max(0, largest)
    print(f"resident memory (KiB) every {SOAK_STEP} frames: {rss}; allocations by the program: {own}")
    check(len(set(own)) == 1, f"the program's own code allocated after frame {SOAK_STEP}: {own}")
    check(growth <= SOAK_PAGES_KIB, f"resident memory grew by {growth:.0f} KiB beside its largest rise ({largest} KiB): {rss}")


# A Wayland session -----------------------------------------------------------------------------

class Weston(PrivateDisplay):
    """A headless Wayland compositor of the test's own, with Xwayland, as a
    Debian 13 desktop session runs the lessons: its X display name."""

    def __enter__(self):
        self.runtime = scratch_folder("wayland", tempfile.gettempdir())
        os.chmod(self.runtime, 0o700)
        self.log = os.path.join(self.runtime, "weston.log")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        self.proc = subprocess.Popen(["weston", "--backend=headless-backend.so", "--xwayland", "--socket=lessons",
                                      "--idle-time=0", f"--log={self.log}"], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while not (found := re.search(r"xserver listening on display (:\d+)", self.text())):
            check(self.proc.poll() is None, f"weston ended: {self.text()[-500:]}")
            check(time.monotonic() < deadline, f"weston started no Xwayland: {self.text()[-500:]}")
            time.sleep(0.05)
        self.name = found.group(1)
        return self

    def text(self):
        try:
            with open(self.log, errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""


@case
def wayland(lesson, opts):
    """Through Xwayland in a Wayland compositor: the first frame is the
    lesson's own, and Escape ends it with status 0."""
    folder = lesson.scratch()
    picture = os.path.join(folder, "first.png")
    with Weston() as session:
        env = probe_env(lesson, folder, base_env(session.name), capture={1: picture})
        with Running(lesson, folder, session, env=env) as running:
            running.key("Escape")
            result = running.finish()
    check(result.rc == 0, f"Escape under Xwayland: {result}")
    check("created wm" in session.text(), "the lesson did not reach Xwayland")  # weston starts it for the first client
    print(compare_image(lesson.tools_dir, picture, os.path.join(opts.reference, lesson.name + ".png")))


# Explore mode ----------------------------------------------------------------------------------

@case
def explore_hold_and_orbit(lesson, opts):
    """Space holds the turn and a step moves it, still held; the screenshot
    is the window as the learner sees it; half a turn of orbit shows the
    light's space: a light fixed in the scene stays on its side of the
    teapot, now behind it, and one fixed to the viewer comes round. A
    vertical drag stops short of turning the teapot upside down."""
    tools = lesson.tools_dir
    folder = lesson.scratch()
    for n in [*range(1, 1001), 5000]:  # a thousand earlier pictures, and a later one: the next
        write(folder, f"{lesson.name}-{n:03d}.png", b"")  # name follows the highest, found at once
    with PrivateDisplay() as display, Running(lesson, folder, display, explore=True) as running:
        running.move(0, 0)  # while it turns: the window is drawn again there before the pause
        running.wait_frames(3)
        running.key("space")
        started = time.monotonic()
        held = [running.snapshot()]
        took = time.monotonic() - started
        check(took < 1.5 and held[0].endswith("-5001.png"), f"with 1,001 pictures there: {held[0]} in {took:.1f} s")
        held.append(running.snapshot())
        check("paused" in running.title("paused"), f"title when paused: {running.title()!r}")
        check(not images_differ(tools, *held, tolerance=0, share=0), "two frames differ while paused")
        seen = running.window_image(os.path.join(folder, "window.png"))
        check(not images_differ(tools, held[1], seen, tolerance=0, share=0),
              "the screenshot is not the picture in the window")
        running.key("Right")
        front = running.snapshot()
        check(images_differ(tools, held[1], front), "a step did not turn the teapot")
        check(not images_differ(tools, front, running.snapshot(), tolerance=0, share=0)
              and "paused" in running.title(), f"a step set the teapot turning again: {running.title()!r}")
        running.drag(20, 200, 380, 200)  # 360 pixels: half a turn round the teapot
        behind = running.snapshot()
        lit, seen = teapot_brightness(front), teapot_brightness(behind)
        if lesson.per_frame_light:
            check(seen < 0.5 * lit, f"a light fixed in the scene came round with the camera: {lit:.0f} -> {seen:.0f}")
        else:
            check(abs(seen - lit) < 0.1 * lit, f"a light fixed to the viewer stayed behind: {lit:.0f} -> {seen:.0f}")
        running.drag(200, 20, 200, 470)  # 225 degrees down, ending outside the window: stops at the top
        above = running.snapshot()
        running.drag(200, 20, 200, 200)
        check(not images_differ(tools, above, running.snapshot(), tolerance=0, share=0),
              "the orbit went past the top: the teapot turns upside down")
        running.key("Escape")
        result = running.finish()
    check(result.rc == 0, f"Escape in explore mode: {result}")


@case
def explore_built_in_lighting(lesson, opts):
    """OpenGL's own per-vertex lighting of the same scene: close to the
    per-vertex lesson's shaders, which re-implement it; the terminal says
    what the built-in model is; pressed again, the shaders' picture is back.
    In the core profile there is none, and b says so."""
    with PrivateDisplay() as display, Running(lesson, lesson.scratch(), display, explore=True) as running:
        running.key("space")
        shader = running.snapshot()
        running.key("b")
        built_in = running.snapshot()
        if lesson.core:  # no built-in lighting there: b says so and changes nothing
            check(b"There is no built-in lighting in the core profile" in running.output()[0]
                  and "built-in lighting" not in running.title(), f"b in the core profile: {running.title()!r}")
            check(not images_differ(lesson.tools_dir, built_in, shader, tolerance=0, share=0),
                  "b in the core profile changed the picture")
            return
        check("built-in lighting" in running.title("built-in"), f"title: {running.title()!r}")
        check(b"Built-in lighting: OpenGL's own model" in running.output()[0], "b did not say what it shows")
        print(compare_image(lesson.tools_dir, built_in, shader, tolerance=8, share=0.05))
        running.key("b")  # and back: the shaders draw again, exactly as before
        check(not images_differ(lesson.tools_dir, running.snapshot(), shader, tolerance=0, share=0),
              "b pressed twice: the shaders' picture did not come back")


GREEN = "#version 110\nvoid main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n"
RED = GREEN.replace("0.0, 1.0, 0.0", "1.0, 0.0, 0.0")
BLUE = GREEN.replace("0.0, 1.0, 0.0", "0.0, 0.0, 1.0")
PURE = {"green": bytes([0, 255, 0]), "red": bytes([255, 0, 0]), "blue": bytes([0, 0, 255])}


def solid(lesson, source):
    """A one-colour fragment shader for the lesson's profile."""
    if not lesson.core:
        return source
    return source.replace("#version 110\n", "#version 330 core\nlayout(location = 0) out vec4 fragColour;\n").replace(
        "gl_FragColor", "fragColour")


def builds(running):
    """Programs switched to, and builds that failed, so far."""
    out, err = running.output()
    return out.count(b"Drawing with") + err.count(b"Still drawing")


def saved(running, path, source, what, seconds=2.0):
    """Writes `source` over `path` (as an editor that writes in place) and
    waits until the lesson has built it."""
    count = builds(running)
    with open(path, "wb") as f:
        f.write(source.encode())
    started = time.monotonic()
    while builds(running) == count:
        check(time.monotonic() - started < seconds, f"{what}: nothing {seconds} s after the save")
        time.sleep(0.01)


def pixels_of(path, colour):
    """How many pixels of the picture are exactly `colour`."""
    _, _, rgb = read_png(path)
    return sum(1 for i in range(0, len(rgb), 3) if rgb[i:i + 3] == PURE[colour])


def drawn(running, colour, least=10000):
    """Whether the teapot is drawn in one pure colour now, by a screenshot."""
    return pixels_of(running.snapshot(), colour) > least


def watch_until(running, colour, what, seconds=3):
    deadline = time.monotonic() + seconds
    while not drawn(running, colour):
        check(time.monotonic() < deadline, f"{what}: not drawn {seconds} s later: {running.output()[1][-300:]!r}")


@case
def explore_live_shaders(lesson, opts):
    """Every save draws: the fragment or the vertex shader, a save caught
    half-written (never an error), one made while a slow one builds. A broken
    one names its file and stage while the last good program draws; a FIFO
    is refused without a wait; the title follows. Another lesson's pair
    loads by its number, a textured one only where textures are bound."""
    folder = lesson.scratch()
    for name in os.listdir(lesson.bin_dir):  # every lesson's pair, for the number keys
        if name.endswith((".vert", ".frag")) and name not in lesson.data_files():
            shutil.copy(os.path.join(lesson.bin_dir, name), folder)
    frag, vert = os.path.join(folder, lesson.frag), os.path.join(folder, lesson.vert)
    with PrivateDisplay() as display, Running(lesson, folder, display, explore=True) as running:
        running.key("space")
        saved(running, frag, GREEN, "a changed fragment shader")
        check(drawn(running, "green"), "the changed shader is not what draws")
        green_pixels = pixels_of(running.snapshot(), "green")
        with open(vert) as f:
            source = f.read()
        saved(running, vert, source.replace("gl_Vertex;", "vec4(gl_Vertex.xyz * 0.5, 1.0);"), "a vertex shader")
        half = pixels_of(running.snapshot(), "green")
        check(half < 0.4 * green_pixels, f"the saved vertex shader does not draw: {green_pixels} -> {half} pixels")

        saved(running, frag, GREEN.replace("vec4(0.0", "vec3(0.0"), "a broken shader")
        err = running.output()[1].decode()
        check(f"{lesson.frag}: the fragment shader did not compile" in err and "save: the window picks it up" in err,
              f"the error does not name file and stage, or what to do: {err!r}")
        check("shader error" in running.title("shader error"), f"title after a broken save: {running.title()!r}")
        check(drawn(running, "green"), "the last good program stopped drawing")
        saved(running, frag, RED, "a fixed shader")
        check("shader error" not in running.title() and drawn(running, "red"), f"after a fix: {running.title()!r}")

        # A file away for a second (a checkout, a stash): said, the last
        # program draws meanwhile, and the file is followed when it is back.
        errors = running.output()[1]
        os.rename(frag, frag + ".away")
        away_message = f"{frag} is not there now".encode()
        deadline = time.monotonic() + 3
        while away_message not in running.output()[0]:
            check(time.monotonic() < deadline, f"a file away was not said: {running.output()[0][-300:]!r}")
            time.sleep(0.02)
        check("waiting for" in running.title("waiting") and drawn(running, "red"),
              f"while the file is away: {running.title()!r}, {running.output()[1][-200:]!r}")
        time.sleep(0.5)
        check(running.output()[1] == errors, f"a file away was reported as an error: {running.output()[1][-300:]!r}")
        os.remove(frag + ".away")
        saved(running, frag, GREEN, "a file back after a second")
        check(drawn(running, "green") and "waiting" not in running.title(), f"the file back: {running.title()!r}")
        saved(running, frag, RED, "a save after the file came back")
        check(drawn(running, "red"), "after a file came back, a save is not what draws")

        # Editors that truncate, then write: caught in between, the file is
        # empty or half there. Never an error; the finished file draws. (A
        # save this test itself was held up in for longer than the watcher's
        # 300 ms, on a loaded machine, is a save left half made: not counted.)
        for n in range(8):
            count = builds(running)
            errors = running.output()[1].count(b"did not compile")
            started = time.monotonic()
            with open(frag, "wb") as f:
                f.write((RED if n % 2 else GREEN)[:30].encode())
                f.flush()
                time.sleep(0.012)
                f.write((RED if n % 2 else GREEN)[30:].encode())
            held_up = time.monotonic() - started > 0.25
            deadline = time.monotonic() + 1
            while builds(running) == count and time.monotonic() < deadline:
                time.sleep(0.01)
            check(held_up or running.output()[1].count(b"did not compile") == errors,
                  f"a save caught half-written was reported: {running.output()[1][-400:]!r}")
        check(drawn(running, "red"), "the last of the half-written saves is not what draws")
        # A save written in two pieces, the first already a whole shader: built
        # once, when the file has kept still (allowing one for a busy machine).
        doubled = 0
        for n in range(6):
            count = builds(running)
            with open(frag, "wb") as f:
                f.write(GREEN.encode())
                f.flush()
                time.sleep(0.012)
                f.write(f"// the rest of save {n}\n".encode())
            time.sleep(0.2)
            doubled += builds(running) - count > 1
        check(doubled <= 1, f"{doubled} of 6 saves in two pieces were built before they were whole")

        # A save landing while a slow one builds is built next.
        # 16 MiB: about 0.2 s to compile, unless the driver has seen it before.
        slow = BLUE + f"// {time.time()}\n" + ("// " + "y" * 60 + "\n") * 262144
        with open(frag + ".tmp", "w") as f:
            f.write(slow)
        os.replace(frag + ".tmp", frag)  # whole at once, as editors that rename their file over
        time.sleep(0.1)  # its build starts about 0.05 s after the save
        with open(frag, "w") as f:
            f.write(GREEN)
        watch_until(running, "green", "a save made during a slow build")

        # A FIFO in place of the shader: refused, the lesson goes on.
        os.remove(frag)
        os.mkfifo(frag)
        deadline = time.monotonic() + 3
        while b"FIFO" not in running.output()[1]:
            check(time.monotonic() < deadline, f"a FIFO was not refused: {running.output()[1][-300:]!r}")
            time.sleep(0.02)
        os.remove(frag)
        with open(frag + ".tmp", "w") as f:  # an editor that renames its file over
            f.write(RED)
        os.replace(frag + ".tmp", frag)
        watch_until(running, "red", "a shader renamed over a FIFO")
        # A sampler, whatever its name, needs the textures only the texturing lessons bind.
        saved(running, frag, "#version 110\nuniform sampler2D pattern;\n"
                             "void main() { gl_FragColor = texture2D(pattern, vec2(0.5)); }\n", "a pair with a sampler")
        check(b"sample textures" in running.output()[1] and "shader error" in running.title("shader error")
              and drawn(running, "red"), f"a sampler of another name: {running.output()[1][-300:]!r}")

        # Another lesson's pair with a file not made yet: drawn once it is.
        per_vertex = os.path.join(folder, "oswietlenie_per_vertex.frag")
        os.rename(per_vertex, per_vertex + ".later")
        running.key("3")
        check("waiting for oswietlenie_per_vertex.frag" in running.title("waiting")
              and f"{per_vertex} is not there now".encode() in running.output()[0],
              f"key 3 with a file missing: {running.title()!r}")
        count = builds(running)
        os.rename(per_vertex + ".later", per_vertex)
        deadline = time.monotonic() + 3
        while builds(running) == count:
            check(time.monotonic() < deadline, "a file made later was not drawn")
            time.sleep(0.02)
        check("oswietlenie_per_vertex" in running.title("per_vertex") and "waiting" not in running.title(),
              f"title after key 3: {running.title()!r}")
        # A texturing pair where no textures are bound is refused before
        # anything changes: it says why, the title names no error, and the
        # pair drawn is still the one whose saves draw.
        running.key("5")
        deadline = time.monotonic() + 3
        while b"lesson_texturing's shaders sample" not in running.output()[1]:
            check(time.monotonic() < deadline, f"key 5 did not say why: {running.output()[1][-300:]!r}")
            time.sleep(0.02)
        title = running.title()
        check("shader error" not in title and "per_vertex" in title, f"key 5 changed the title: {title!r}")
        saved(running, os.path.join(folder, "oswietlenie_per_vertex.frag"), GREEN, "a save after key 5")
        check(drawn(running, "green"), "after key 5, a save of the pair drawn is not what draws")
        running.key("4")
        check(b"a white highlight of shininess 50" in running.output()[0] or lesson.scene != "plain",
              "key 4 in a plain scene did not say whose material draws")
        running.key("Escape")
        check(running.finish().rc == 0, "Escape after the edits")


@case
def explore_side_by_side(lesson, opts):
    """Two explore runs in one folder: a save reaches both, each saves its
    own screenshots, and one that ends leaves the other drawing saves."""
    folder = lesson.scratch()
    frag = os.path.join(folder, lesson.frag)
    with PrivateDisplay("840x480") as display, Running(lesson, folder, display, explore=True, tag="1") as first:
        with Running(lesson, folder, display, explore=True, tag="2", taken=[first.window]) as second:
            for running, x in ((first, 0), (second, 420)):
                running.move(x, 0)
                running.key("space")
            with open(frag, "w") as f:
                f.write(solid(lesson, GREEN))
            for running in (first, second):
                watch_until(running, "green", "a save, in either window")
            shots = [first.snapshot(), second.snapshot()]
            check(len(set(shots)) == 2, f"the two runs saved over each other: {shots}")
            first.key("Escape")
            check(first.finish().rc == 0, "Escape in the first window")
            with open(frag, "w") as f:
                f.write(solid(lesson, RED))
            watch_until(second, "red", "a save after the other run ended")
            check(all(os.path.exists(s) for s in shots), "a screenshot went when a run ended")


@case
def no_silent_failure(lesson, opts):
    """Two mistakes no driver need mention, said by the check: samplers of
    other names than the lesson binds (tex0, tex1), and an input of the
    fragment shader that the vertex shader never sends out."""
    folder = lesson.scratch()
    with open(os.path.join(folder, lesson.vert)) as f:
        vert = f.read()
    with open(os.path.join(folder, lesson.frag)) as f:
        frag = f.read()
    write(folder, "renamed.frag", frag.replace("tex0", "pattern").replace("tex1", "lightmap"))
    write(folder, "unsent.frag", frag.replace("eyeNormal", "theNormal"))
    for other, said, status in (("renamed.frag", "pattern and lightmap, which", 1),
                                ("unsent.frag", "theNormal", 1)):
        result = run(lesson, folder, ["--check", "lesson_texturing_lit", "--pair", lesson.vert, other])
        err = result.err.decode(errors="replace")
        check(result.rc == status and said in err and ("tex0" in err if other == "renamed.frag" else True),
              f"{other}: status {result.rc}, nothing said of it: {err[-500:]!r}")
    check(vert and "eyeNormal" in frag, "the lesson's pair has no eyeNormal to rename")


@case
def exercise_flow(lesson, opts):
    """An exercise as a learner practises it: started from its starting pair,
    a near miss saved is checked and the failing probe named, p shows that
    scene, the solution saved passes, and the progress is kept (never
    written through a link left where it is written first)."""
    project = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    folder = lesson.scratch()
    outside = os.path.join(lesson.scratch(), "outside.txt")
    with open(outside, "w") as f:
        f.write("not the lesson's\n")
    os.symlink(outside, os.path.join(folder, "progress.txt.part"))
    for kind in ("vert", "frag"):
        shutil.copy(os.path.join(project, "data", f"oswietlenie_otoczenia.{kind}"), os.path.join(folder, f"{lesson.stem}.{kind}"))
    vert = os.path.join(folder, lesson.vert)
    with open(os.path.join(project, "data", lesson.vert)) as f:
        solution = f.read()
    command = [os.path.join(lesson.bin_dir, lesson.name), "--explore", "--exercise", "lesson_diffuse"]

    def checked(before, what, seconds=5):
        deadline = time.monotonic() + seconds
        while running.output()[0].count(b"Check: ") == before:
            check(time.monotonic() < deadline, f"{what}: no check {seconds} s later: {running.output()[0][-300:]!r}")
            time.sleep(0.02)
        return running.output()[0].decode(errors="replace").rsplit("Check: ", 1)[1]

    with PrivateDisplay("840x480") as display, Running(lesson, folder, display, command=command,
                                                      explore=True) as running:
        first = checked(0, "the starting pair")
        check(first.startswith("0 of 6 probes pass")
              and running.title("scenes").startswith("lesson_diffuse: 0 of 6 scenes pass - "),
              f"the starting pair: {first[:200]!r}, {running.title()!r}")
        checks = running.output()[0].count(b"Check: ")
        with open(vert, "w") as f:  # the near miss: no clamp at zero
            f.write(solution.replace("max(dot(normal, lightDir), 0.0)", "dot(normal, lightDir)"))
        near = checked(checks, "a near miss")
        check("FAIL  behind" in near and "a known mistake: N·L is not clamped at zero" in near
              and "scenes pass" in running.title(),
              f"a near miss: {near[:600]!r}")
        # A near miss seen only in the stretched teapot: p goes there, past
        # the scenes that pass.
        checks = running.output()[0].count(b"Check: ")
        with open(vert, "w") as f:
            f.write(solution.replace("normalize(gl_NormalMatrix * gl_Normal)", "gl_NormalMatrix * gl_Normal"))
        near = checked(checks, "a near miss seen in one scene")
        running.key("p")
        deadline = time.monotonic() + 3
        while b"Probe " not in running.output()[0]:
            check(time.monotonic() < deadline, "p did not show a failing probe's scene")
            time.sleep(0.02)
        shown = re.search(r"Probe (\w+):", running.output()[0].decode(errors="replace")).group(1)
        check(f"FAIL  {shown}" in near and "pass  seen" in near, f"p showed {shown}, which passes: {near[:400]!r}")
        # The hints from the first, as the exercises' file lists them.
        with open(os.path.join(project, "exercises", "exercises.txt")) as f:
            block = f.read().split("exercise lesson_diffuse\n", 1)[1].split("\nexercise ", 1)[0]
        first = re.search(r"^hint (.*)$", block, re.M).group(1)
        running.key("n")
        deadline = time.monotonic() + 3
        while b"Hint " not in running.output()[0]:
            check(time.monotonic() < deadline, "n gave no hint")
            time.sleep(0.02)
        check(f"Hint 1 of 3: {first}".encode() in running.output()[0], f"n's first hint is not the first: {running.output()[0][-300:]!r}")
        checks = running.output()[0].count(b"Check: ")
        with open(vert, "w") as f:
            f.write(solution)
        solved = checked(checks, "the solution")
        check("Solved: every probe passes." in solved and running.title("solved").startswith("lesson_diffuse: solved - "),
              f"the solution: {solved[:300]!r}, {running.title()!r}")
        running.key("Escape")
        check(running.finish().rc == 0, "Escape in an exercise")
    # Started again with the hint taken and a near miss: still solved.
    with open(vert, "w") as f:
        f.write(solution.replace("max(dot(normal, lightDir), 0.0)", "dot(normal, lightDir)"))
    with PrivateDisplay("840x480") as display, Running(lesson, folder, display, command=command,
                                                      explore=True) as running:
        checked(0, "the near miss, started again")
        running.key("Escape")
        running.finish()
    with open(os.path.join(folder, "progress.txt")) as f:
        kept = f.read()
    check(kept == "GLSL 1.10: solved\n" and not os.path.islink(os.path.join(folder, "progress.txt")),
          f"the progress kept: {kept!r}")
    with open(outside) as f:
        check(f.read() == "not the lesson's\n", "the progress was written through a symlink")


@case
def exercise_apart(lesson, opts):
    """A save that crashes the driver's compiler, or never finishes a frame,
    is checked apart from the window: refused with its reason, the window
    stays and takes the next save; started with such a pair, the lesson says
    why rather than crash."""
    folder = lesson.scratch()
    project = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    frag = os.path.join(folder, lesson.frag)
    for kind in ("vert", "frag"):
        shutil.copy(os.path.join(project, "data", f"oswietlenie_otoczenia.{kind}"), os.path.join(folder, f"{lesson.stem}.{kind}"))
    crashing = "#version 110\nvoid main() { float s = " + " + ".join(f"{i % 7}.0" for i in range(20000)) + \
        "; gl_FragColor = vec4(s, gl_Color.gb, 1.0); }\n"
    endless = ("#version 110\nvoid main() { float s = 0.0; for (int i = 0; i < 2000000000; i++)"
               " for (int j = 0; j < 2000000000; j++) s += sin(float(i * j)); gl_FragColor = vec4(s); }\n")
    command = [os.path.join(lesson.bin_dir, lesson.name), "--explore", "--exercise", "lesson_diffuse"]
    with PrivateDisplay("840x480") as display:
        env = {**probe_env(lesson, folder, base_env(display.name)), "CHECK_SECONDS": "3"}
        with Running(lesson, folder, display, command=command, env=env, explore=True) as running:
            for text, said in ((crashing, "the driver crashed compiling or drawing it (signal 11"),
                               (endless, "no picture within 3 s")):
                with open(frag, "w") as f:
                    f.write(text)
                deadline = time.monotonic() + 15
                while said.encode() not in running.output()[1]:
                    check(time.monotonic() < deadline and running.proc.poll() is None,
                          f"a save the window must not build: {running.output()[1][-300:]!r}")
                    time.sleep(0.05)
            running.key("Escape")
            check(running.finish().rc == 0, "Escape after two refused saves")
        with open(frag, "w") as f:
            f.write(crashing)
        started = subprocess.run(command, cwd=folder, env=env, capture_output=True, timeout=60)
        check(started.returncode == 1 and b"is not built: the driver crashed" in started.stderr,
              f"started with a crashing pair: status {started.returncode}, {started.stderr[-300:]!r}")


# Shader files and the shader pipeline ----------------------------------------------------------

GOOD_VERT = "#version 110\nvoid main() { gl_Position = ftransform(); }\n"
GOOD_FRAG = "#version 110\nvoid main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n"


@case
def shader_compile_failures(lesson, opts):
    folder = lesson.scratch()
    bad_vert = "#version 110\nvoid main() { gl_Position = vertexMistake; }\n"
    bad_frag = "#version 110\nvoid main() { gl_FragColor = fragmentMistake; }\n"
    for vert, frag, culprit, what in ((bad_vert, GOOD_FRAG, "vertexMistake", "vertex shader broken"),
                                      (GOOD_VERT, bad_frag, "fragmentMistake", "fragment shader broken"),
                                      (bad_vert, bad_frag, "vertexMistake", "both broken")):
        write(folder, lesson.vert, vert)
        write(folder, lesson.frag, frag)
        result = run(lesson, folder)
        lines = result.out.decode().split("\n")
        check(result.rc == 1 and lines[0] == "GL_COMPILE_STATUS ERROR!" and culprit in lines[1],
              f"{what}: {result}")
        stage, name = ("vertex", lesson.vert) if culprit.startswith("vertex") else ("fragment", lesson.frag)
        expect_failure(result, result.out, what=what,
                       advice=[f'{stage} shader "{os.path.join(folder, name)}"', "did not compile"])
        check(result.out.count(b"GL_COMPILE_STATUS ERROR!") == 1 and "Mistake" not in "".join(
            l for l in lines[1:] if culprit not in l), f"{what}: more than the first failure reported: {result}")


@case
def shader_link_failure(lesson, opts):
    folder = lesson.scratch()
    write(folder, lesson.vert, GOOD_VERT)
    # Compiles alone, but reads a varying that the vertex shader never writes.
    write(folder, lesson.frag, "#version 110\nvarying vec3 neverWritten;\n"
                               "void main() { gl_FragColor = vec4(neverWritten, 1.0); }\n")
    result = run(lesson, folder)
    lines = result.out.decode().split("\n")
    check(result.rc == 1 and lines[0] == "GL_LINK_STATUS ERROR!" and "neverWritten" in result.out.decode(),
          f"link failure: {result}")
    expect_failure(result, result.out, what="link failure",
                   advice=[f'vertex shader "{os.path.join(folder, lesson.vert)}"',
                           f'fragment shader "{os.path.join(folder, lesson.frag)}"', "do not link"])


@case
def shader_file_forms(lesson, opts):
    folder = lesson.scratch()
    # An empty vertex shader: OpenGL gets an empty source; the build must fail cleanly.
    write(folder, lesson.vert, b"")
    result = run(lesson, folder)
    check(result.rc == 1 and result.out.startswith((b"GL_COMPILE_STATUS ERROR!\n", b"GL_LINK_STATUS ERROR!\n")),
          f"empty vertex shader: {result}")
    # A NUL byte ends the source: what follows it never reaches the compiler.
    shutil.copy(os.path.join(lesson.bin_dir, lesson.vert), folder)
    with open(os.path.join(lesson.bin_dir, lesson.frag), "rb") as f:
        write(folder, lesson.frag, f.read() + b"\0 this is not GLSL {{{")
    result = run(lesson, folder, frames=2)
    check(result.rc == 0 and result.out == b"", f"text after a NUL byte: {result}")
    # A folder where the vertex file should be.
    os.remove(os.path.join(folder, lesson.vert))
    os.mkdir(os.path.join(folder, lesson.vert))
    expect_failure(run(lesson, folder), MSG_VERT, what="a folder named like the vertex file")


@case
def shader_not_a_file(lesson, opts):
    """A FIFO where the vertex shader should be would hold the lesson in
    fopen until something writes to it; a device never ends. Both are
    refused at once, with a message."""
    folder = lesson.scratch()
    os.remove(os.path.join(folder, lesson.vert))
    os.mkfifo(os.path.join(folder, lesson.vert))
    expect_failure(run(lesson, folder, timeout=30), MSG_VERT, what="a FIFO as the vertex shader", advice=["FIFO"])
    shutil.copy(os.path.join(lesson.bin_dir, lesson.vert), folder + "/x")
    os.replace(folder + "/x", os.path.join(folder, lesson.vert))
    os.remove(os.path.join(folder, lesson.frag))
    os.symlink("/dev/zero", os.path.join(folder, lesson.frag))
    expect_failure(run(lesson, folder, timeout=30), MSG_FRAG, what="a device as the fragment shader", advice=["device"])


@case
def shader_huge(lesson, opts):
    folder = lesson.scratch()
    with open(os.path.join(lesson.bin_dir, lesson.frag), "rb") as f:
        source = f.read()
    write(folder, lesson.frag, source + (b"// " + b"y" * 60 + b"\n") * 262144)  # 16 MiB of comments
    result = run(lesson, folder, frames=2, timeout=300)
    check(result.rc == 0 and result.out == b"", f"a 16 MB fragment shader: {result}")


def as_nobody():
    """Run the child as an ordinary user, so that a file without read
    permission is unreadable even when the tests run as root."""
    if os.getuid() == 0:
        os.setgid(65534)
        os.setuid(65534)


def reachable_by_nobody(lesson):
    """The lesson as the ordinary user can run it: the build may sit where
    only root may enter (a clone under /root, or under a mktemp -d folder),
    so the program, the probe, the sanitizers' suppressions and the scratch
    folders are copied into a folder of /tmp that everyone may enter."""
    top = scratch_folder(lesson.name, "/tmp")
    os.chmod(top, 0o755)
    moved = copy.copy(lesson)
    moved.bin_dir, moved.tools_dir, moved.out_dir = (os.path.join(top, d) for d in ("bin", "tools", "out"))
    for folder in (moved.bin_dir, moved.tools_dir, moved.out_dir):
        os.mkdir(folder)
    for name in [lesson.name, *lesson.data_files()]:
        shutil.copy(os.path.join(lesson.bin_dir, name), moved.bin_dir)
    shutil.copy(os.path.join(lesson.tools_dir, "libframeprobe.so"), moved.tools_dir)
    options = os.environ.get("LSAN_OPTIONS", "")
    found = re.search(r"suppressions=([^:]+)", options)
    if found:
        shutil.copy(found.group(1), top)
        os.environ["LSAN_OPTIONS"] = options.replace(found.group(1), os.path.join(top, "lsan.supp"))
    return moved


@case
def unreadable_files(lesson, opts):
    names = [(lesson.vert, MSG_VERT), (lesson.frag, MSG_FRAG)]
    if lesson.textured:
        names += [("tex0.tga", MSG_TEXTURE), ("tex1.tga", MSG_TEXTURE)]
    lesson = reachable_by_nobody(lesson)
    for name, message in names:
        folder = lesson.scratch()
        os.chmod(folder, 0o777)
        for other in os.listdir(folder):
            os.chmod(os.path.join(folder, other), 0o644)
        os.chmod(os.path.join(folder, name), 0)
        result = run(lesson, folder, frames=1, preexec=as_nobody)
        expect_failure(result, message, what=f"{name} unreadable", advice=[f'"{os.path.join(folder, name)}"', "ermission"])


# Textures ----------------------------------------------------------------------------------------

def tga(width, height, bits, pixel=None, image_type=2, descriptor=0, size=None):
    """A TGA file; `size` cuts it short (the pixels are only made up to it)."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, image_type, 0, 0, 0, 0, 0, width, height, bits, descriptor)
    if size is not None:
        return (header + bytes(max(0, size - len(header))))[:size]
    size = width * height * bits // 8
    body = (pixel * (width * height)) if pixel else bytes((i * 37) % 251 for i in range(size))
    return header + body


@case
def texture_failures(lesson, opts):
    # Each form, and what the advice must say of it.
    bad_forms = {"missing": (None, "cannot be opened"), "16-bit": (tga(4, 4, 16), "16-bit"),
                 "run-length coded": (tga(4, 4, 24, image_type=10), "image type is 10"),
                 "grey-scale": (tga(4, 4, 24, image_type=3), "image type is 3"),
                 "truncated": (tga(64, 64, 24, size=100), "shorter than its header says"),
                 "empty": (b"", "shorter than a TGA header"),
                 "huge declared size": (tga(65535, 65535, 32, size=30), "more than 2 GiB"),
                 "header only": (tga(64, 64, 24, size=18), "shorter than its header says"),
                 "wider than the driver allows": (tga(16385, 1, 24), "larger than this driver's largest texture"),
                 "taller than the driver allows": (tga(1, 16385, 24), "larger than this driver's largest texture"),
                 "a PNG": (b"\x89PNG\r\n\x1a\n" + bytes(40), "not a TGA image but a PNG image"),
                 "a folder": (os.mkdir, "a folder, not a file"), "a FIFO": (os.mkfifo, "FIFO")}
    for image in ("tex0.tga", "tex1.tga"):
        for what, (data, reason) in bad_forms.items():
            folder = lesson.scratch()
            os.remove(os.path.join(folder, image))
            if callable(data):
                data(os.path.join(folder, image))
            elif data is not None:
                write(folder, image, data)
            result = run(lesson, folder, frames=1)
            expect_failure(result, MSG_TEXTURE, what=f"{image} {what}", advice=[f'"{os.path.join(folder, image)}"', reason])
            opened = result.opened()
            check(opened[:2] == [lesson.vert, lesson.frag], f"{image} {what}: images read before the shaders: {opened}")
            if image == "tex0.tga":
                check("tex1.tga" not in opened, "tex1.tga tried after tex0.tga failed")
            check(not any(line.startswith("first-frame") for line in result.log), "a frame was drawn")


@case
def texture_sizes_and_depths(lesson, opts):
    folder = lesson.scratch()
    write(folder, "tex0.tga", tga(37, 21, 24))   # rows of 111 bytes: not a multiple of 4
    write(folder, "tex1.tga", tga(13, 7, 32))
    calls = trace_calls(lesson, folder, frames=2)
    uploads = [c for c in calls if c[0] in ("glTexImage2D", "glPixelStorei")]
    text = [f"{c[0]}({c[1]})" for c in uploads]
    check(len(text) == 4, f"expected two alignments and two uploads, got {text}")
    check("param = 1" in text[0] and "internalformat = 3, width = 37, height = 21" in text[1]
          and "format = GL_RGB," in text[1], f"24-bit odd width: {text[:2]}")
    check("param = 4" in text[2] and "internalformat = 4, width = 13, height = 7" in text[3]
          and "format = GL_RGBA," in text[3], f"32-bit: {text[2:]}")


@case
def texture_only_tex0_sampler(lesson, opts):
    folder = lesson.scratch()
    write(folder, lesson.vert, "#version 110\nvoid main() { gl_Position = ftransform();"
                               " gl_TexCoord[0] = gl_MultiTexCoord0; }\n")
    write(folder, lesson.frag, "#version 110\nuniform sampler2D tex0;\n"
                               "void main() { gl_FragColor = texture2D(tex0, gl_TexCoord[0].st); }\n")
    result = run(lesson, folder, frames=3)
    check(result.rc == 0 and result.out == b"", f"only tex0 declared: {result}")


@case
def texture_call_order(lesson, opts):
    folder = lesson.scratch()
    write(folder, "tex0.tga", tga(1, 1, 24, pixel=bytes([10, 20, 30])))  # stored B, G, R
    calls = trace_calls(lesson, folder, frames=1)
    _, _, prog = shader_ids(calls)
    checks = find(calls, rf"^glGetProgramiv\(program = {prog}, pname = GL_LINK_STATUS")
    generated = find(calls, r"^glGenTextures\(n = 2, textures = \{\d+, \d+\}\)", checks)
    names = [int(n) for n in NUMBER.findall(calls[generated][1])[1:3]]
    check(names[0] != names[1], f"two textures with one name: {names}")
    order = [rf"^glGetUniformLocation\(program = {prog}, name = \"tex0\"\)", r"^glUniform1i\(location = -?\d+, v0 = 0\)",
             rf"^glGetUniformLocation\(program = {prog}, name = \"tex1\"\)", r"^glUniform1i\(location = -?\d+, v0 = 1\)",
             r"^glGenTextures\(n = 2,"]
    for texture in names:
        order += [rf"^glBindTexture\(target = GL_TEXTURE_2D, texture = {texture}\)",
                  r"^glTexParameteri\(target = GL_TEXTURE_2D, pname = GL_TEXTURE_WRAP_S, param = GL_REPEAT\)",
                  r"^glTexParameteri\(target = GL_TEXTURE_2D, pname = GL_TEXTURE_WRAP_T, param = GL_REPEAT\)",
                  r"^glTexParameteri\(target = GL_TEXTURE_2D, pname = GL_TEXTURE_MAG_FILTER, param = GL_LINEAR\)",
                  r"^glTexParameteri\(target = GL_TEXTURE_2D, pname = GL_TEXTURE_MIN_FILTER, param = GL_LINEAR\)",
                  r"^glTexEnvi\(target = GL_TEXTURE_ENV, pname = GL_TEXTURE_ENV_MODE, param = GL_MODULATE\)",
                  r"^glPixelStorei\(pname = GL_UNPACK_ALIGNMENT",
                  r"^glTexImage2D\(target = GL_TEXTURE_2D, level = 0"]
    end = expect_in_order(calls, order, checks + 1, "sampler binding and texture set-up")
    upload = calls[find(calls, r"^glTexImage2D")]
    check("width = 1, height = 1" in upload[1] and "format = GL_RGB," in upload[1], f"1x1 upload: {upload}")
    # The pixel bytes as OpenGL received them.
    dump = subprocess.run(["apitrace", "dump", "--color=never", "--blobs", "lesson.trace"], cwd=folder,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(dump.returncode == 0, "apitrace could not dump blobs")
    blobs = sorted(f for f in os.listdir(folder) if f.startswith("blob_call"))
    number = None
    for line in subprocess.run(["apitrace", "dump", "--color=never", "lesson.trace"], cwd=folder,
                               stdout=subprocess.PIPE).stdout.decode().splitlines():
        if " glTexImage2D(" in line and "width = 1, height = 1" in line:
            number = line.split()[0]
            break
    blob = [f for f in blobs if f == f"blob_call{number}.bin"]
    check(blob, f"no blob for the 1x1 upload (call {number}) among {blobs}")
    with open(os.path.join(folder, blob[0]), "rb") as f:
        pixels = f.read()
    check(pixels[:3] == bytes([30, 20, 10]), f"1x1 texel reached OpenGL as {list(pixels[:3])}, not R, G, B = 30, 20, 10")
    expect_in_order(calls, [r"^glActiveTexture\(texture = GL_TEXTURE1\)", r"^glEnable\(cap = GL_TEXTURE_2D\)",
                            r"^glMatrixMode\(mode = GL_PROJECTION\)"], end, "textured scene after the textures")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--reference", required=True)
    parser.add_argument("--gallery", default=os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                          "..", "..", "docs", "images"))
    parser.add_argument("--core", action="store_true", help="the lesson in the core profile")
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("lesson")
    opts = parser.parse_args()
    lesson = Lesson(opts.lesson, opts.bin, opts.tools, os.path.join(opts.out, opts.case + ".core" * opts.core),
                    core=opts.core)
    def case():
        # An X server of the case's own: one shared by many tests at once
        # refuses connections now and then when they come in bursts.
        with PrivateDisplay() as display:
            os.environ["DISPLAY"] = display.name
            CASES[opts.case](lesson, opts)

    return run_case(f"{opts.case} {opts.lesson}" + " --core" * opts.core, case)

if __name__ == "__main__":
    sys.exit(main())
