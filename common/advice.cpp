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
#include "filekind.h"
#include "places.h"

static bool live = false;  // explore mode: the window rebuilds what is saved

void adviseLive() { live = true; }

// Writes the advice on standard error, after whatever the lesson has written
// on standard output: the message first, then the advice, also in one log.
static void advise(const char* format, ...) {
    fflush(stdout);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
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
static void nextStep(const char* fileName, const char* otherwise) {
    std::string source = sourceOf(fileName);
    if (live)
#ifdef __EMSCRIPTEN__
        advise("Fix it in the editor: the picture follows as you type.\n");
#else
        advise("Fix it and save: the window picks it up.\n");
#endif
    else if (!source.empty())
        advise(
            "%s is the build's copy of \"%s\": edit that one, then run the lesson again "
            "(./run.sh LESSON builds it first).\n",
            fileName, source.c_str());
    else
        advise("%s\n", otherwise);
}

void adviseShaderFile(const char* stage, const char* fileName) {
    advise("The %s shader %s could not be read: %s. ", stage, named(fileName).c_str(),
           fileProblem(fileName));
    nextStep(fileName,
             inBuildFolder()
                 ? "The build copies the shaders from data/: build again (./run.sh LESSON) to "
                   "put it back."
                 : "A lesson reads its shaders from the folder it is started in: start it from "
                   "build/bin, or with ./run.sh LESSON.");
}

void adviseCompile(const char* stage, const char* fileName) {
    advise(
        "The %s shader %s did not compile: in the compiler's log above, 0:LINE(COLUMN) or "
        "0:LINE: points at that line of the file. ",
        stage, named(fileName).c_str());
    nextStep(fileName, "Fix it and run the lesson again.");
}

void adviseLink(const char* fileVert, const char* fileFrag) {
    advise(
        "The vertex shader %s and the fragment shader %s each compiled but do not link: the "
        "log above says what does not fit, most often a varying that the fragment shader "
        "reads and the vertex shader does not write, or writes with another type. ",
        named(fileVert).c_str(), named(fileFrag).c_str());
    nextStep(fileFrag, "Fix them and run the lesson again.");
}

void adviseNoOpenGL2() {
#ifdef __EMSCRIPTEN__
    advise(
        "This browser gave the page no WebGL 2 context: turn on hardware acceleration or "
        "WebGL in its settings, or try a current Chromium or Firefox.\n");
    return;
#endif
    const char* version = (const char*)glGetString(GL_VERSION);
    const char* renderer = (const char*)glGetString(GL_RENDERER);
    if (version)
        advise("This driver (%s) offers OpenGL %s. ", renderer ? renderer : "unknown", version);
    else
        advise("No OpenGL context could be started. ");
    if (getenv("MESA_GL_VERSION_OVERRIDE"))
        advise("MESA_GL_VERSION_OVERRIDE asks Mesa for that version: unset it.\n");
    else
        advise(
            "Mesa's software renderer offers OpenGL 2.0 and more: install libgl1-mesa-dri, "
            "then run the lesson with LIBGL_ALWAYS_SOFTWARE=1.\n");
}

void adviseNoCoreProfile(const char* why) {
    advise(
        "--core asks for an OpenGL 3.3 core profile context, and %s. Run the lesson without "
        "--core (OpenGL 2.0 is enough for it)%s.\n",
        why,
        getenv("MESA_GL_VERSION_OVERRIDE")
            ? ", or unset MESA_GL_VERSION_OVERRIDE, which holds Mesa back"
            : ", or with Mesa's software renderer, which offers 4.5 core "
              "(LIBGL_ALWAYS_SOFTWARE=1)");
}

void adviseTexture(const char* fileName) {
#ifdef __EMSCRIPTEN__
    advise(
        "The texture %s was refused: %s. The page reads \"tex0.tga\" and \"tex1.tga\" from "
        "its own folder, beside index.html: an image of your own goes there.\n",
        named(fileName).c_str(), TGAFailure());
    return;
#endif
    advise(
        "The texture %s was refused: %s. The texturing lessons read \"tex0.tga\" and "
        "\"tex1.tga\" from the folder they are started in; an image of your own goes in data/, "
        "and the build puts it beside the programs in place of the project's.\n",
        named(fileName).c_str(), TGAFailure());
}
