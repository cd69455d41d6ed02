// One line on standard error after each of the lessons' own messages, saying
// which file, where it was looked for, and what to do about it.
#include "advice.h"

#include <GL/glew.h>
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>

#include "Targa.h"
#include "file_status.h"
#include "folders.h"

// Adds to the advice being written.
static void advise(std::string& into, const char* format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    int size = vsnprintf(NULL, 0, format, args);
    if (size > 0) {
        std::string text((size_t)size, '\0');
        vsnprintf(&text[0], (size_t)size + 1, format, again);
        into += text;
    }
    va_end(again);
    va_end(args);
}

// A file as the learner finds it: its whole path.
static std::string named(const char* fileName) { return "\"" + wholePath(fileName) + "\""; }

// Why a file that fopen refused (or that is not a file) cannot be read.
static const char* fileProblem(const char* fileName) {
    const char* notFile = notAFile(fileName);
    if (*notFile) return notFile;
    struct stat st;
    if (stat(fileName, &st) != 0)
        return errno == ENOENT ? "there is no such file" : strerror(errno);
    return "it cannot be read (check its permissions)";
}

// What to do about a shader file: save it again in explore mode; otherwise
// edit data/'s file when this one is the build's copy of it.
static void nextStep(std::string& out, bool live, const char* fileName, const char* otherwise) {
    std::string source = sourceOf(fileName);
    if (live)
#ifdef __EMSCRIPTEN__
        advise(out, "Fix it in the editor: the picture follows as you type.\n");
#else
        advise(out, "Fix it and save: the window picks it up.\n");
#endif
    else if (!source.empty())
        advise(out,
               "%s is the build's copy of \"%s\": edit that one, then run the lesson again "
               "(./run.sh LESSON builds it first).\n",
               fileName, source.c_str());
    else
        advise(out, "%s\n", otherwise);
}

std::string adviceShaderFile(const char* stage, const char* fileName, bool live) {
    std::string out;
    advise(out, "The %s shader %s could not be read: %s. ", stage, named(fileName).c_str(),
           fileProblem(fileName));
    nextStep(out, live, fileName,
             inBuildFolder()
                 ? "The build copies the shaders from data/: build again (./run.sh LESSON) to "
                   "put it back."
                 : "A lesson reads its shaders from the folder it is started in: start it from "
                   "build/bin, or with ./run.sh LESSON.");
    return out;
}

std::string adviceCompile(const char* stage, const char* fileName, bool live) {
    std::string out;
#ifdef __EMSCRIPTEN__
    // The page lists each problem under the editor with its line and text.
    advise(out, "The %s shader %s did not compile: the list under the editor names its line. ",
           stage, named(fileName).c_str());
#else
    advise(out,
           "The %s shader %s did not compile: the lines above name the line of the file "
           "(as \"line N\", or in the driver's own words 0:N(COLUMN) or 0:N:). ",
           stage, named(fileName).c_str());
#endif
    nextStep(out, live, fileName, "Fix it and run the lesson again.");
    return out;
}

std::string adviceLink(const char* fileVert, const char* fileFrag, bool live) {
    std::string out;
    advise(out,
           "The vertex shader %s and the fragment shader %s each compiled but do not link: the "
           "log above says what does not fit, most often a varying that the fragment shader "
           "reads and the vertex shader does not write, or writes with another type. ",
           named(fileVert).c_str(), named(fileFrag).c_str());
    nextStep(out, live, fileFrag, "Fix them and run the lesson again.");
    return out;
}

#ifndef __EMSCRIPTEN__
// The Mesa settings in the environment that hold the driver below what it
// offers: `names` to unset ("MESA_GL_VERSION_OVERRIDE"), and `said` as they
// are set ("MESA_GL_VERSION_OVERRIDE (set to 3.1)"); both "" when none is.
struct Overrides {
    std::string names, said;
    int count = 0;
};

static Overrides overridesSet() {
    Overrides o;
    for (const char* name : {"MESA_GL_VERSION_OVERRIDE", "MESA_GLSL_VERSION_OVERRIDE"}) {
        const char* value = getenv(name);
        if (!value) continue;
        const char* joint = o.count++ ? " and " : "";
        o.names += joint + std::string(name);
        o.said += joint + std::string(name) + " (set to " + std::string(value).substr(0, 16) + ")";
    }
    return o;
}

static bool softwareAskedFor() {
    const char* value = getenv("LIBGL_ALWAYS_SOFTWARE");
    return value && *value && strcmp(value, "0") != 0;
}
#endif

std::string adviceNoOpenGL2() {
    std::string out;
#ifdef __EMSCRIPTEN__
    advise(out,
           "This browser gave the page no WebGL 2 context: turn on hardware acceleration or "
           "WebGL in its settings, or try a current Chromium or Firefox.\n");
    return out;
#else
    const char* version = (const char*)glGetString(GL_VERSION);
    const char* renderer = (const char*)glGetString(GL_RENDERER);
    if (version)
        advise(out, "This driver (%s) offers OpenGL %s. ", renderer ? renderer : "unknown",
               version);
    else
        advise(out, "No OpenGL context could be started. ");
    Overrides overrides = overridesSet();
    if (overrides.count)
        advise(out, "%s %s Mesa for less than it has: unset %s.\n", overrides.said.c_str(),
               overrides.count > 1 ? "ask" : "asks", overrides.names.c_str());
    else if (softwareAskedFor())
        advise(out,
               "Mesa's software renderer was asked for (LIBGL_ALWAYS_SOFTWARE is set) and "
               "offers OpenGL 2.0 and more: install libgl1-mesa-dri, or over ssh -X run the "
               "lesson on the machine's own desktop.\n");
    else
        advise(out,
               "Mesa's software renderer offers OpenGL 2.0 and more: install libgl1-mesa-dri, "
               "then run the lesson with LIBGL_ALWAYS_SOFTWARE=1.\n");
#endif
    return out;
}

std::string adviceNoCoreProfile(const char* why) {
    std::string out;
#ifdef __EMSCRIPTEN__
    advise(out, "--core asks for an OpenGL 3.3 core profile context, and %s.\n", why);
#else
    Overrides overrides = overridesSet();
    std::string instead =
        overrides.count
            ? ", or unset " + overrides.said +
                  (overrides.count > 1 ? ", which hold Mesa back" : ", which holds Mesa back")
        : softwareAskedFor()
            ? ". Mesa's software renderer, already asked for (LIBGL_ALWAYS_SOFTWARE), offers "
              "4.5 core on the machine's own display; over ssh -X the X server makes the "
              "context, and may not"
            : ", or with Mesa's software renderer, which offers 4.5 core "
              "(LIBGL_ALWAYS_SOFTWARE=1)";
    advise(out,
           "--core asks for an OpenGL 3.3 core profile context, and %s. Run the lesson without "
           "--core (OpenGL 2.0 is enough for it)%s.\n",
           why, instead.c_str());
#endif
    return out;
}

std::string adviceTexture(const char* fileName) {
    std::string out;
#ifdef __EMSCRIPTEN__
    advise(out,
           "The texture %s was refused: %s. The page reads \"tex0.tga\" and \"tex1.tga\" from "
           "its own folder, beside index.html: an image of your own goes there.\n",
           named(fileName).c_str(), TGAFailure());
    return out;
#endif
    advise(out,
           "The texture %s was refused: %s. The texturing lessons read \"tex0.tga\" and "
           "\"tex1.tga\" from the folder they are started in; an image of your own goes in data/, "
           "and the build puts it beside the programs in place of the project's.\n",
           named(fileName).c_str(), TGAFailure());
    return out;
}
