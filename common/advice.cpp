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

#include "Targa.h"

#ifdef _WIN32
#include <direct.h>
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

// The folder the lesson looked in: its working folder.
static const char* workingFolder() {
    static char folder[4096];
    if (!getcwd(folder, sizeof folder)) strcpy(folder, "the working folder");
    return folder;
}

// Writes the advice on standard error, after whatever the lesson has written
// on standard output: the message first, then the advice, also in one log.
static void advise(const char* format, ...) {
    fflush(stdout);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
}

// Why a file that fopen refused (or that is not a file) cannot be read.
static const char* fileProblem(const char* fileName) {
    struct stat st;
    if (stat(fileName, &st) != 0)
        return errno == ENOENT ? "there is no such file" : strerror(errno);
    if ((st.st_mode & S_IFMT) == S_IFDIR) return "it is a folder, not a file";
    return "it cannot be read (check its permissions)";
}

void adviseShaderFile(const char* stage, const char* fileName) {
    advise(
        "The %s shader \"%s\" could not be read from %s: %s. A lesson reads its shaders from "
        "the folder it is started in: start it from build/bin, or with ./run.sh LESSON.\n",
        stage, fileName, workingFolder(), fileProblem(fileName));
}

void adviseCompile(const char* stage, const char* fileName) {
    advise(
        "The %s shader \"%s\" (in %s) did not compile: in the compiler's log above, "
        "0:LINE(COLUMN) or 0:LINE: points at that line of the file.\n",
        stage, fileName, workingFolder());
}

void adviseLink(const char* fileVert, const char* fileFrag) {
    advise(
        "The vertex shader \"%s\" and the fragment shader \"%s\" (in %s) each compiled but do "
        "not link: the log above says what does not fit, most often a varying that the "
        "fragment shader reads and the vertex shader does not write, or writes with another "
        "type.\n",
        fileVert, fileFrag, workingFolder());
}

void adviseNoOpenGL2() {
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

void adviseTexture(const char* fileName) {
    advise(
        "The texture \"%s\" in %s was refused: %s. The texturing lessons read \"tex0.tga\" and "
        "\"tex1.tga\" from the folder they are started in (build/bin has the project's own).\n",
        fileName, workingFolder(), TGAFailure());
}
