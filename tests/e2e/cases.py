"""End-to-end cases for the lesson programs. Each case is one CTest entry:
    python3 cases.py --bin BIN --tools TOOLS --out OUT --reference REF CASE LESSON
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import time

from harness import (MSG_FRAG, MSG_NO_GL2, MSG_TEXTURE, MSG_VERT, Failure, Lesson, PrivateDisplay,
                     Running, check, compare_image, expect_in_order, index_of, run, trace_calls)

CASES = {}


def case(fn):
    CASES[fn.__name__] = fn
    return fn


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def expect_failure(result, output, status=1, what=""):
    check(result.out == output and result.rc == status,
          f"{what}: expected {output!r} and status {status}, got {result}")


# Start-up failures -----------------------------------------------------------------------------

@case
def missing_shader_files(lesson, opts):
    folder = lesson.scratch()
    os.remove(os.path.join(folder, lesson.frag))
    expect_failure(run(lesson, folder), MSG_FRAG, what="fragment shader missing")
    os.remove(os.path.join(folder, lesson.vert))
    result = run(lesson, folder)
    expect_failure(result, MSG_VERT, what="both shaders missing")
    check(lesson.frag not in result.opened(), "the fragment file was looked for after the vertex file failed")


@case
def no_opengl_2(lesson, opts):
    folder = lesson.scratch()
    result = run(lesson, folder, extra_env={"MESA_GL_VERSION_OVERRIDE": "1.5"})
    expect_failure(result, MSG_NO_GL2, what="OpenGL 1.5 only")
    check(result.opened() == [], f"files were opened without OpenGL 2.0: {result.opened()}")


# The running program --------------------------------------------------------------------------

@case
def reference_frame(lesson, opts):
    folder = lesson.scratch()
    actual = os.path.join(folder, lesson.name + ".png")
    result = run(lesson, folder, frames=1, capture={1: actual})
    check(result.rc == 0 and os.path.exists(actual), f"no first frame: {result}")
    reference = os.path.join(opts.reference, lesson.name + ".png")
    if os.environ.get("UPDATE_REFERENCES") == "1":
        shutil.copy(actual, reference)
        print("updated", reference)
        return
    print(compare_image(lesson, actual, reference))


GALLERY_FRAME = 301  # the teapot turned by 30 degrees


@case
def gallery_frame(lesson, opts):
    """The pictures in docs/ must show what the lesson draws now."""
    folder = lesson.scratch()
    actual = os.path.join(folder, lesson.name + ".png")
    result = run(lesson, folder, frames=GALLERY_FRAME, capture={GALLERY_FRAME: actual})
    check(result.rc == 0 and os.path.exists(actual), f"no frame {GALLERY_FRAME}: {result}")
    picture = os.path.join(opts.gallery, lesson.name + ".png")
    if os.environ.get("UPDATE_GALLERY") == "1":
        shutil.copy(actual, picture)
        print("updated", picture)
        return
    print(compare_image(lesson, actual, picture))


@case
def escape_ends(lesson, opts):
    with PrivateDisplay() as display:
        running = Running(lesson, lesson.scratch(), display)
        try:
            running.key("Escape")
            result = running.finish()
        finally:
            running.kill()
    check(result.rc == 0 and result.out == b"", f"Escape: {result}")


@case
def other_keys_and_resize(lesson, opts):
    with PrivateDisplay() as display:
        running = Running(lesson, lesson.scratch(), display)
        try:
            running.key("a", "Z", "5", "Return", "space", "q", "Escape")
            result = running.finish()
            check(result.rc == 0, f"Escape after other keys: {result}")
        finally:
            running.kill()
        running = Running(lesson, lesson.scratch(), display)
        try:
            for key in ("a", "Z", "5", "Return", "space", "q", "F1", "Up"):
                running.key(key)
                running.wait_frames(3)
            for width, height in ((300, 200), (640, 120), (1, 1), (400, 400)):
                display.xdotool("windowsize", running.window, str(width), str(height))
                if width > 1:  # freeglut draws nothing while a side is 1 pixel
                    running.wait_frames(3)
            running.key("Escape")
            result = running.finish()
        finally:
            running.kill()
    check(result.rc == 0 and result.out == b"", f"after keys and resizing: {result}")


@case
def extra_arguments(lesson, opts):
    folder = lesson.scratch()
    result = run(lesson, folder, args=["--help", "-x", "stray"], frames=3)
    check(result.rc == 0 and result.out == b"" and "frames 3" in result.log, f"with extra arguments: {result}")


@case
def call_order(lesson, opts):
    calls = trace_calls(lesson, lesson.scratch(), frames=2)
    glew = index_of(calls, r"^glGetString\(name = GL_VERSION\)")
    check(glew >= 0, "GLEW start-up not found in the trace")
    scene = [r"^glEnable\(cap = GL_DEPTH_TEST\)", r"^glClearColor\(red = 1, green = 1, blue = 1, alpha = 1\)"]
    if lesson.scene != "plain":
        scene += [r"^glMaterialfv\(face = GL_FRONT, pname = GL_SPECULAR, params = \{1, 1, 1, 1\}\)",
                  r"^glMaterialfv\(face = GL_FRONT, pname = GL_SHININESS, params = &50\)",
                  r"^glLightfv\(light = GL_LIGHT0, pname = GL_POSITION, params = \{1, 1, 1, 0\}\)",
                  r"^glEnable\(cap = GL_LIGHTING\)", r"^glEnable\(cap = GL_LIGHT0\)"]
    if lesson.textured:
        scene += [r"^glActiveTexture\(texture = GL_TEXTURE0\)", r"^glEnable\(cap = GL_TEXTURE_2D\)",
                  r"^glActiveTexture\(texture = GL_TEXTURE1\)", r"^glEnable\(cap = GL_TEXTURE_2D\)"]
    shaders = [r"^glCreateShader\(type = GL_VERTEX_SHADER\)", r"^glCreateShader\(type = GL_FRAGMENT_SHADER\)",
               r"^glShaderSource\(shader = 1,", r"^glShaderSource\(shader = 2,",
               r"^glCompileShader\(shader = 1\)", r"^glCompileShader\(shader = 2\)", r"^glCreateProgram\(\)",
               r"^glAttachShader\(program = 3, shader = 1\)", r"^glAttachShader\(program = 3, shader = 2\)",
               r"^glLinkProgram\(program = 3\)", r"^glUseProgram\(program = 3\)",
               r"^glGetShaderiv\(shader = 1, pname = GL_COMPILE_STATUS",
               r"^glGetShaderiv\(shader = 2, pname = GL_COMPILE_STATUS",
               r"^glGetProgramiv\(program = 3, pname = GL_LINK_STATUS"]
    shader_start = index_of(calls, shaders[0])
    check(shader_start > glew, "shaders were made before GLEW started")
    after_shaders = expect_in_order(calls, shaders, shader_start, "shader set-up")
    if lesson.textured:
        check(index_of(calls, scene[0]) > after_shaders, "the textured scene was set before the shaders")
        check(index_of(calls, r"^glTexImage2D", after_shaders) < index_of(calls, scene[0]),
              "the textured scene was set before the textures")
        expect_in_order(calls, scene, after_shaders, "textured scene state")
    else:
        end = expect_in_order(calls, scene, 0, "scene state")
        check(end <= glew, "the scene state was not set before GLEW started")

    first = index_of(calls, r"^glMatrixMode\(mode = GL_PROJECTION\)", after_shaders)
    check(first > 0, "no projection set")
    frame = [r"^glMatrixMode\(mode = GL_PROJECTION\)", r"^glLoadIdentity\(\)",
             r"^glViewport\(x = 0, y = 0, width = 400, height = 400\)",
             r"^glMultMatrixd\(m = \{2\.41421356237309\d*, 0, 0, 0, 0, 2\.41421356237309\d*, 0, 0, 0, 0, "
             r"-1\.002002002002002, -1, 0, 0, -2\.002002002002002, 0\}\)",
             r"^glClear\(mask = GL_DEPTH_BUFFER_BIT \| GL_COLOR_BUFFER_BIT\)",
             r"^glMatrixMode\(mode = GL_MODELVIEW\)", r"^glLoadIdentity\(\)",
             r"^glMultMatrixf\(m = \{1, 0, -0, 0, -0, 1, -0, 0, 0, 0, 1, 0, 0, 0, 0, 1\}\)",
             r"^glTranslated\(x = -0, y = -0, z = -10\)"]
    if lesson.per_frame_light:
        frame.append(r"^glLightfv\(light = GL_LIGHT0, pname = GL_POSITION, params = \{0\.5, 0\.2, 1, 0\}\)")
    frame += [r"^glRotatef\(angle = 0, x = 0, y = 1, z = 0\)", r"^glColor3f\(red = 1, green = 0\.5, blue = 0\.5\)"]
    if lesson.textured:
        frame += [r"^glActiveTexture\(texture = GL_TEXTURE1\)", r"^glBindTexture\(target = GL_TEXTURE_2D, texture = 2\)",
                  r"^glActiveTexture\(texture = GL_TEXTURE0\)", r"^glBindTexture\(target = GL_TEXTURE_2D, texture = 1\)"]
    frame += [r"^glDrawElements\(mode = GL_TRIANGLES", r"^glXSwapBuffers"]
    end = expect_in_order(calls, frame, first, "first frame")
    check(all(call[0] in ("glMatrixMode", "glLoadIdentity", "glViewport", "glMultMatrixd", "glXMakeContextCurrent")
              for call in calls[first:index_of(calls, r"^glClear", first)]), "unexpected calls inside reshape")
    second = [r"^glClear", r"^glRotatef\(angle = 0\.1, x = 0, y = 1, z = 0\)", r"^glXSwapBuffers"]
    expect_in_order(calls, second, end, "second frame")
    lights = [c for c in calls[end:] if c[0] == "glLightfv"]
    check(bool(lights) == lesson.per_frame_light, "light 0 placed per frame where it should not be, or not where it should")


# Mesa's llvmpipe uploads the teapot's client-side arrays through 1 MiB
# buffers of its own (posix_memalign of 1,048,624 bytes in swrast_dri.so);
# when one fills, the next is allocated, and one more of them (1,028 KiB with
# its alignment page) can stay resident for good. The allowance covers that
# one buffer; the program's own code must not allocate at all.
SOAK_ALLOWANCE_KIB = 1024 + 64


@case
def soak(lesson, opts):
    """20,000 frames: no allocation by the program's own code after the first
    frames, and resident memory flat from frame 1,000 on."""
    folder = lesson.scratch()
    result = run(lesson, folder, frames=20000, rss_at=[1000, 20000], timeout=900)
    check(result.rc == 0, f"soak run: {result}")
    seen = {}
    for line in result.log:
        if line.startswith("frame "):
            fields = line.split()
            seen[int(fields[1])] = (int(fields[3]), int(fields[7]))
    check(set(seen) == {1000, 20000}, f"resident memory not logged: {result.log}")
    (rss_a, own_a), (rss_b, own_b) = seen[1000], seen[20000]
    growth = rss_b - rss_a
    print(f"resident memory: {rss_a} KiB after frame 1000, {rss_b} KiB after frame 20000 ({growth:+d} KiB); "
          f"allocations by the program: {own_a}, then {own_b}")
    check(own_b == own_a, f"the program's own code allocated {own_b - own_a} times between frames 1000 and 20000")
    check(growth <= SOAK_ALLOWANCE_KIB, f"resident memory grew by {growth} KiB over 19,000 frames")


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
def shader_from_pipe(lesson, opts):
    folder = lesson.scratch()
    with open(os.path.join(lesson.bin_dir, lesson.vert), "rb") as f:
        source = f.read()
    # Long enough to need more than one read, so the buffer has to grow.
    source += b"\n" + b"// padding\n" * 2000
    fifo = os.path.join(folder, lesson.vert)
    os.remove(fifo)
    os.mkfifo(fifo)
    writer = subprocess.Popen(["sh", "-c", f"cat > '{fifo}'"], stdin=subprocess.PIPE)
    writer.stdin.write(source)
    writer.stdin.close()
    try:
        result = run(lesson, folder, frames=2, timeout=60)
    finally:
        writer.kill()
        writer.wait()
    check(result.rc == 0 and result.out == b"", f"vertex shader from a pipe: {result}")


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


@case
def unreadable_files(lesson, opts):
    names = [(lesson.vert, MSG_VERT), (lesson.frag, MSG_FRAG)]
    if lesson.textured:
        names += [("tex0.tga", MSG_TEXTURE), ("tex1.tga", MSG_TEXTURE)]
    for name, message in names:
        folder = lesson.scratch()
        os.chmod(folder, 0o777)
        for other in os.listdir(folder):
            os.chmod(os.path.join(folder, other), 0o644)
        os.chmod(os.path.join(folder, name), 0)
        result = run(lesson, folder, frames=1, preexec=as_nobody)
        expect_failure(result, message, what=f"{name} unreadable")


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
    bad_forms = {"missing": None, "16-bit": tga(4, 4, 16), "run-length coded": tga(4, 4, 24, image_type=10),
                 "grey-scale": tga(4, 4, 24, image_type=3), "truncated": tga(64, 64, 24, size=100), "empty": b"",
                 "huge declared size": tga(65535, 65535, 32, size=30), "header only": tga(64, 64, 24, size=18)}
    for image in ("tex0.tga", "tex1.tga"):
        for what, data in bad_forms.items():
            folder = lesson.scratch()
            if data is None:
                os.remove(os.path.join(folder, image))
            else:
                write(folder, image, data)
            result = run(lesson, folder, frames=1)
            expect_failure(result, MSG_TEXTURE, what=f"{image} {what}")
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
    checks = index_of(calls, r"^glGetProgramiv\(program = 3, pname = GL_LINK_STATUS")
    check(checks > 0, "no link check")
    order = [r"^glGetUniformLocation\(program = 3, name = \"tex0\"\)", r"^glUniform1i\(location = -?\d+, v0 = 0\)",
             r"^glGetUniformLocation\(program = 3, name = \"tex1\"\)", r"^glUniform1i\(location = -?\d+, v0 = 1\)",
             r"^glGenTextures\(n = 2, textures = \{1, 2\}\)"]
    for unit, texture in ((0, 1), (1, 2)):
        order += [rf"^glBindTexture\(target = GL_TEXTURE_2D, texture = {texture}\)",
                  r"^glTexParameteri\(target = GL_TEXTURE_2D, pname = GL_TEXTURE_WRAP_S, param = GL_REPEAT\)",
                  r"^glTexParameteri\(target = GL_TEXTURE_2D, pname = GL_TEXTURE_WRAP_T, param = GL_REPEAT\)",
                  r"^glTexParameteri\(target = GL_TEXTURE_2D, pname = GL_TEXTURE_MAG_FILTER, param = GL_LINEAR\)",
                  r"^glTexParameteri\(target = GL_TEXTURE_2D, pname = GL_TEXTURE_MIN_FILTER, param = GL_LINEAR\)",
                  r"^glTexEnvi\(target = GL_TEXTURE_ENV, pname = GL_TEXTURE_ENV_MODE, param = GL_MODULATE\)",
                  r"^glPixelStorei\(pname = GL_UNPACK_ALIGNMENT",
                  r"^glTexImage2D\(target = GL_TEXTURE_2D, level = 0"]
    end = expect_in_order(calls, order, checks + 1, "sampler binding and texture set-up")
    upload = calls[index_of(calls, r"^glTexImage2D")]
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
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("lesson")
    opts = parser.parse_args()
    lesson = Lesson(opts.lesson, opts.bin, opts.tools, os.path.join(opts.out, opts.case))
    started = time.monotonic()
    try:
        # An X server of the case's own: one shared by many tests at once
        # refuses connections now and then when they come in bursts.
        with PrivateDisplay() as display:
            os.environ["DISPLAY"] = display.name
            CASES[opts.case](lesson, opts)
    except (Failure, subprocess.TimeoutExpired) as e:
        print(f"FAIL {opts.case} {opts.lesson}: {e}")
        return 1
    print(f"ok {opts.case} {opts.lesson} ({time.monotonic() - started:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
